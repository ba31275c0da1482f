#include "Form3.h"

#include "FolderPicker.h"
#include "core/ColumnSet.h"
#include "core/FileList.h"
#include "filelist/ColumnFill.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
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

// A start or step box. The length limit is the validator's, not a maximum length, which would cut a value
// the arrow keys wrote.
QLineEdit* numberBox(const QString& name, int maxLength, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setValidator(new NumberValidator(maxLength, box));
    // Digits come from the keyboard: with a Japanese input method on, a key would give a full-width digit.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setText(u"1"_s);
    return box;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

Form3::Form3(const ColumnSet& columns, FileList& files, std::vector<int> selectedRows, Dialogs& dialogs,
             QWidget* parent)
    : QDialog(parent), m_columns(columns), m_files(files), m_selectedRows(std::move(selectedRows))
{
    setObjectName(u"Form3"_s);
    setWindowTitle(u"挿入文字列を設定"_s);
    setModal(true);

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(u"Combo1"_s);
    m_combo1->setEditable(false);

    m_modes = new QButtonGroup(this);
    m_modes->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(this);
        button->setObjectName(u"Option1_"_s + QString::number(i));
        m_modes->addButton(button, i);
        m_option1[static_cast<size_t>(i)] = button;
    }
    connect(m_modes, &QButtonGroup::idClicked, this, &Form3::Option1_Click);

    m_label0 = label(u"Label0"_s, u"文字列を削除"_s, this);

    m_folderFrame = new QGroupBox(u"フォルダー選択"_s, this);
    m_folderPicker = new FolderPicker(FolderPicker::Files::All, m_folderFrame);
    m_folderPicker->setDialogs(&dialogs);
    auto* folderLayout = new QVBoxLayout(m_folderFrame);
    folderLayout->addWidget(m_folderPicker);

    m_textFrame = new QGroupBox(u"文字列"_s, this);
    m_text1 = new QLineEdit(m_textFrame);
    m_text1->setObjectName(u"Text1"_s);
    auto* textLayout = new QVBoxLayout(m_textFrame);
    textLayout->addWidget(m_text1);

    m_sequenceFrame = new QGroupBox(u"連番"_s, this);
    m_text2 = numberBox(u"Text2"_s, ColumnFill::startMaxLength, m_sequenceFrame);
    m_text3 = numberBox(u"Text3"_s, ColumnFill::stepMaxLength, m_sequenceFrame);
    m_text2->installEventFilter(this);
    m_text3->installEventFilter(this);
    auto* sequenceLayout = new QHBoxLayout(m_sequenceFrame);
    sequenceLayout->addWidget(label(u"Label2"_s, u"開始値"_s, m_sequenceFrame));
    sequenceLayout->addWidget(m_text2);
    sequenceLayout->addSpacing(16);
    sequenceLayout->addWidget(label(u"Label4"_s, u"ステップ数"_s, m_sequenceFrame));
    sequenceLayout->addWidget(m_text3);
    sequenceLayout->addStretch();

    m_command2 = new QPushButton(u"CANCEL"_s, this);
    m_command2->setObjectName(u"Command2"_s);
    m_command1 = new QPushButton(u"O　　K"_s, this);
    m_command1->setObjectName(u"Command1"_s);
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form3::Command2_Click);

    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(label(u"Label5"_s, u"挿入するカラム→"_s, this));
    top->addWidget(m_combo1, 1);
    grid->addLayout(top, 0, 0, 1, 3);
    grid->addWidget(m_option1[0], 1, 0);
    grid->addWidget(m_label0, 1, 1);
    grid->addWidget(m_option1[1], 2, 0);
    grid->addWidget(m_folderFrame, 2, 1, 1, 2);
    grid->addWidget(m_option1[2], 3, 0);
    grid->addWidget(m_textFrame, 3, 1, 1, 2);
    grid->addWidget(m_option1[3], 4, 0);
    grid->addWidget(m_sequenceFrame, 4, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command1);
    grid->addLayout(buttons, 4, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);

    Form_Load();
}

void Form3::Form_Load()
{
    m_combo1->clear();
    for (int i = ColumnSet::builtInCount; i < m_columns.count(); ++i)
        m_combo1->addItem(m_columns.caption(i));
    m_combo1->setCurrentIndex(0);
    m_folderPicker->setFolder(QDir::currentPath());
    m_option1[0]->setChecked(true);
    Option1_Click(0);
}

void Form3::Option1_Click(int index)
{
    m_label0->setEnabled(index == ColumnFill::Clear);
    m_folderFrame->setEnabled(index == ColumnFill::Folder);
    m_textFrame->setEnabled(index == ColumnFill::Text);
    m_sequenceFrame->setEnabled(index == ColumnFill::Sequence);
}

void Form3::Command1_Click()
{
    ColumnFill::Request request;
    request.mode = m_modes->checkedId();
    request.comboIndex = m_combo1->currentIndex();
    request.selectedRows = m_selectedRows;
    request.folder = m_folderPicker->folder();
    request.text = m_text1->text();
    request.start = m_text2->text();
    request.step = m_text3->text();
    ColumnFill::fill(m_files, request);
    accept();
}

void Form3::Command2_Click()
{
    reject();
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched != m_text2 && watched != m_text3) || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down)
        return QDialog::eventFilter(watched, event);
    auto* box = static_cast<QLineEdit*>(watched);
    const int limit = box == m_text2 ? ColumnFill::startLimit : ColumnFill::stepLimit;
    const int code = key->key() == Qt::Key_Up ? ColumnFill::keyUp : ColumnFill::keyDown;
    const QString stepped = ColumnFill::stepped(box->text(), code, limit);
    static_cast<NumberValidator*>(box->findChild<QValidator*>())->setStepped(stepped);
    box->setText(stepped);
    return true;
}
