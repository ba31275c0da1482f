#include "frmAbout.h"

#include "AppIcon.h"
#include "platform/Dialogs.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

frmAbout::frmAbout(const Registry& registry, const FileSystem& files, ProcessLauncher& launcher,
                   Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_systemInfo(registry, files, launcher, dialogs), m_picIcon(new QLabel(this)),
      m_lblTitle(new QLabel(this)), m_lblVersion(new QLabel(this)), m_lblDescription(new QLabel(this)),
      m_lblDisclaimer(new QLabel(this)), m_cmdOK(new QPushButton(this)), m_cmdSysInfo(new QPushButton(this))
{
    setObjectName(u"frmAbout"_s);
    setWindowTitle(u"ﾊﾞｰｼﾞｮﾝ情報"_s);
    setModal(true);

    m_picIcon->setObjectName(u"picIcon"_s);
    m_lblTitle->setObjectName(u"lblTitle"_s);
    m_lblTitle->setText(u"ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ"_s);
    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    m_lblVersion->setObjectName(u"lblVersion"_s);
    m_lblVersion->setText(u"ﾊﾞｰｼﾞｮﾝ"_s);
    m_lblDescription->setObjectName(u"lblDescription"_s);
    m_lblDescription->setWordWrap(true);
    m_lblDisclaimer->setObjectName(u"lblDisclaimer"_s);
    m_lblDisclaimer->setText(u"警告: ..."_s);
    m_lblDisclaimer->setWordWrap(true);
    m_cmdOK->setObjectName(u"cmdOK"_s);
    m_cmdOK->setText(u"OK"_s);
    m_cmdOK->setDefault(true);
    m_cmdSysInfo->setObjectName(u"cmdSysInfo"_s);
    m_cmdSysInfo->setText(u"ｼｽﾃﾑ情報(&S)..."_s);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_picIcon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(m_lblTitle, 0, 1);
    layout->addWidget(m_lblVersion, 1, 1);
    layout->addWidget(m_lblDescription, 2, 1);
    layout->addWidget(line, 3, 0, 1, 3);
    layout->addWidget(m_lblDisclaimer, 4, 0, 2, 2);
    layout->addWidget(m_cmdOK, 4, 2);
    layout->addWidget(m_cmdSysInfo, 5, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(420);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

QString frmAbout::versionText()
{
    return u"ﾊﾞｰｼﾞｮﾝ "_s + QString::number(LOMVATO_VERSION_MAJOR) + u'.' +
           QString::number(LOMVATO_VERSION_MINOR) + u'.' + QString::number(LOMVATO_VERSION_PATCH);
}

void frmAbout::Form_Load()
{
    setWindowTitle(applicationTitle());
    const QIcon icon = applicationIcon();
    setWindowIcon(icon);
    m_picIcon->setPixmap(icon.pixmap(64, 64));
    m_lblTitle->setText(applicationTitle());
    m_lblVersion->setText(versionText());
    m_lblDescription->clear();
    m_lblDisclaimer->setText(
        u"警告: このソフトウェアは現状のまま提供され、明示・黙示を問わず、いかなる保証もありません。"
        u"このソフトウェアの使用または使用できなかったことによって生じた損害について、作者は一切の責任を負い"
        u"ません。"
        u"作業完了後にマシンをシャットダウンするかどうかは利用者が選ぶものであり、その結果は利用者の責任となります。"_s);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    m_systemInfo.StartSysInfo();
}
