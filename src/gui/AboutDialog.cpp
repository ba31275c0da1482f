#include "AboutDialog.h"

#include "AppIcon.h"
#include "platform/Dialogs.h"
#include "ui_AboutDialog.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

AboutDialog::AboutDialog(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher,
                         Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_systemInfo(registry, files, launcher, dialogs),
      ui(std::make_unique<Ui::AboutDialog>())
{
    ui->setupUi(this);
    QFont titleFont = ui->titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    ui->titleLabel->setFont(titleFont);

    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->systemInfoButton, &QPushButton::clicked, this,
            [this] { m_systemInfo.startSystemInformation(); });

    showFacts();
}

AboutDialog::~AboutDialog() = default;

QString AboutDialog::versionText()
{
    return u"ﾊﾞｰｼﾞｮﾝ "_s + QString::number(LOMVATO_VERSION_MAJOR) + u'.' +
           QString::number(LOMVATO_VERSION_MINOR) + u'.' + QString::number(LOMVATO_VERSION_PATCH);
}

void AboutDialog::showFacts()
{
    setWindowTitle(applicationTitle());
    const QIcon icon = applicationIcon();
    setWindowIcon(icon);
    ui->iconLabel->setPixmap(icon.pixmap(64, 64));
    ui->titleLabel->setText(applicationTitle());
    ui->versionLabel->setText(versionText());
    ui->descriptionLabel->clear();
    ui->disclaimerLabel->setText(
        u"警告: このソフトウェアは現状のまま提供され、明示・黙示を問わず、いかなる保証もありません。"
        u"このソフトウェアの使用または使用できなかったことによって生じた損害について、作者は一切の責任を負い"
        u"ません。"
        u"作業完了後にマシンをシャットダウンするかどうかは利用者が選ぶものであり、その結果は利用者の責任となります。"_s);
}
