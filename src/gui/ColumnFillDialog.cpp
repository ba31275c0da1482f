#include "ColumnFillDialog.h"

#include "core/ColumnSet.h"
#include "core/FileList.h"
#include "filelist/ColumnFill.h"
#include "ui_ColumnFillDialog.h"

#include <QButtonGroup>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

using namespace Qt::StringLiterals;

namespace
{

// What a start or step box takes from the user, however it arrives: typed, pasted, dropped or from an input
// method. The arrow keys may write a value beyond it (Up on "0" gives "-1", Up on "-99" gives "-100"), which
// the box keeps as it stands; QLineEdit guards an edit only while the text before it was acceptable, so the
// value the arrows wrote is acceptable too, and an edit of it has to give digits again.
class NumberValidator final : public QValidator
{
public:
    NumberValidator(int maxLength, QObject* parent) : QValidator(parent), m_maxLength(maxLength) {}

    void setStepped(const QString& text) { m_stepped = text; }

    State validate(QString& input, int& /*position*/) const override
    {
        return input == m_stepped || ColumnFill::isBoxInput(input, m_maxLength) ? Acceptable : Invalid;
    }

private:
    int m_maxLength;
    QString m_stepped;
};

// Makes a start or step box take what NumberValidator takes. The length limit is the validator's, not a
// maximum length, which would cut a value the arrow keys wrote.
void makeNumberBox(QLineEdit* box, int maxLength)
{
    box->setValidator(new NumberValidator(maxLength, box));
    // Digits come from the keyboard: with a Japanese input method on, a key would give a full-width digit.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
}

} // namespace

ColumnFillDialog::ColumnFillDialog(const ColumnSet& columns, FileList& files, std::vector<int> selectedRows,
                                   Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_columns(columns), m_files(files), m_selectedRows(std::move(selectedRows)),
      ui(std::make_unique<Ui::ColumnFillDialog>()), m_modes(new QButtonGroup(this))
{
    ui->setupUi(this);

    // The ids are the fill modes.
    m_modes->setExclusive(true);
    int mode = 0;
    for (QRadioButton* option : {ui->clearOption, ui->folderOption, ui->textOption, ui->sequenceOption})
        m_modes->addButton(option, mode++);
    connect(m_modes, &QButtonGroup::idClicked, this, &ColumnFillDialog::showFieldsOf);

    ui->folderPicker->setDialogs(&dialogs);

    makeNumberBox(ui->startEdit, ColumnFill::startMaxLength);
    makeNumberBox(ui->stepEdit, ColumnFill::stepMaxLength);
    ui->startEdit->installEventFilter(this);
    ui->stepEdit->installEventFilter(this);

    connect(ui->okButton, &QPushButton::clicked, this, &ColumnFillDialog::fill);
    connect(ui->cancelButton, &QPushButton::clicked, this, &ColumnFillDialog::cancel);

    resetFields();
}

ColumnFillDialog::~ColumnFillDialog() = default;

void ColumnFillDialog::resetFields()
{
    ui->columnCombo->clear();
    for (int i = ColumnSet::builtInCount; i < m_columns.count(); ++i)
        ui->columnCombo->addItem(m_columns.caption(i));
    ui->columnCombo->setCurrentIndex(0);
    ui->folderPicker->setFolder(QDir::currentPath());
    ui->clearOption->setChecked(true);
    showFieldsOf(0);
}

void ColumnFillDialog::showFieldsOf(int index)
{
    ui->clearLabel->setEnabled(index == ColumnFill::Clear);
    ui->folderFrame->setEnabled(index == ColumnFill::Folder);
    ui->textFrame->setEnabled(index == ColumnFill::Text);
    ui->sequenceFrame->setEnabled(index == ColumnFill::Sequence);
}

void ColumnFillDialog::fill()
{
    ColumnFill::Request request;
    request.mode = m_modes->checkedId();
    request.comboIndex = ui->columnCombo->currentIndex();
    request.selectedRows = m_selectedRows;
    request.folder = ui->folderPicker->folder();
    request.text = ui->textEdit->text();
    request.start = ui->startEdit->text();
    request.step = ui->stepEdit->text();
    ColumnFill::fill(m_files, request);
    accept();
}

void ColumnFillDialog::cancel()
{
    reject();
}

bool ColumnFillDialog::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched != ui->startEdit && watched != ui->stepEdit) || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down)
        return QDialog::eventFilter(watched, event);
    auto* box = static_cast<QLineEdit*>(watched);
    const int limit = box == ui->startEdit ? ColumnFill::startLimit : ColumnFill::stepLimit;
    const QString stepped = ColumnFill::stepped(box->text(), Qt::Key(key->key()), limit);
    static_cast<NumberValidator*>(box->findChild<QValidator*>())->setStepped(stepped);
    box->setText(stepped);
    return true;
}
