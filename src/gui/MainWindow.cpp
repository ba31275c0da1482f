#include "MainWindow.h"

#include "ResultsTab.h"
#include "RunSettingsBox.h"

#include "AboutDialog.h"
#include "ApplicationDialog.h"
#include "ColumnFillDialog.h"
#include "ColumnWidthBinder.h"
#include "FileListView.h"
#include "ListItemDelegate.h"
#include "PreviewWindow.h"
#include "ShutdownCountdownDialog.h"
#include "core/Twips.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeView>

#include <array>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace
{

QString displayText(QString logText)
{
    return logText.replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_engine(m_table, m_services.launcher, m_services.files, m_services.clock, m_services.dialogs),
      m_store(m_table, m_services.dialogs, m_services.files, m_services.programFolder),
      m_fileCommands(m_table, m_services.dialogs, m_services.files), m_editor(m_table),
      m_appCommands(m_table.apps, m_editor, m_services.dialogs, m_services.files, m_services.launcher,
                    m_services.executableFolder),
      m_batchCommands(m_table.batch, m_editor),
      m_help(m_services.files, m_urlOpener, m_services.programFolder, m_services.executableFolder),
      ui(std::make_unique<Ui::Form1>())
{
    ui->setupUi(this);
    // Designer names neither a menu's own action nor a separator.
    for (QMenu* menu : ui->menubar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        menu->menuAction()->setObjectName(menu->objectName());
    for (QAction* line : {ui->Pulldown_line1, ui->Pulldown_appli_line1, ui->Pulldown_BatchList_line1,
                          ui->Pulldown_list_list2})
        line->setSeparator(true);
    ui->Pulldown_BatchList->menuAction()->setVisible(false);
    ui->Pulldown_ColumnTool->menuAction()->setVisible(false);

    ui->SSTab1->addTab(new ResultsTab(m_engine, m_services.dialogs, this), u"結果"_s);
    auto* runSettings = new RunSettingsBox(m_services.programFolder, m_engine, m_services.dialogs, this);
    ui->settingsLayout->insertWidget(ui->settingsLayout->indexOf(ui->settingsStretch), runSettings);

    StatusText = new QLabel(runSettings->loadProblem(), ui->StatusBar1);
    StatusText->setObjectName(u"StatusText"_s);
    StatusText->setTextFormat(Qt::PlainText);
    ui->StatusBar1->addWidget(StatusText, 1);

    setUpViews();

    // Entries reach the log tab a few times a second at most: laying out and painting the box once per entry
    // would cost a run of short jobs more than the jobs themselves.
    m_logFlush.setSingleShot(true);
    m_logFlush.setInterval(shownUpdatePeriod);
    connect(&m_logFlush, &QTimer::timeout, this, &Form1::showPendingLog);
    connect(&m_table.log, &ActivityLog::prepended, this, [this](const QString& piece) {
        m_pendingLog.push_back(piece);
        if (!m_logFlush.isActive())
            m_logFlush.start();
    });
    connect(&m_table.log, &ActivityLog::reset, this, &Form1::showLogText);
    connect(&m_table.settings, &WorkSettings::changed, this, &Form1::showSettings);
    connect(&m_table.filter, &ExtensionFilter::modeChanged, this, &Form1::showSettings);
    connect(&m_table.columns, &ColumnSet::headerChanged, this, &Form1::applyWidths);
    connectHandlers();
    showSettings();
}

Form1::~Form1() = default;

// The lists show the work table's models, each column as wide as the table holds it in twips.
void Form1::setUpViews()
{
    for (QTreeView* view : {ui->ListView2, ui->ListView3, ui->ListView4}) {
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setItemsExpandable(false);
        view->setAllColumnsShowFocus(true);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->header()->setStretchLastSection(false);
        view->header()->setSectionsMovable(false);
        ListItemDelegate::applyTo(view);
    }
    ui->ListView2->setModel(&m_table.apps);
    ui->ListView3->setModel(&m_table.columns);
    ui->ListView4->setModel(&m_table.batch);
    ui->ListView1->setModel(&m_table.files);
    ui->List1->setModel(&m_table.filter);

    auto bindRows = [this](QTreeView* view, TextRowList& list) {
        m_widthBinders.push_back(new ColumnWidthBinder(
            view->header(), [&list](int c) { return list.widths().value(c, 1440.0f); },
            [&list](int c, float w) { list.setWidth(c, w); }));
        m_widthBinders.back()->apply();
    };
    bindRows(ui->ListView2, m_table.apps);
    bindRows(ui->ListView4, m_table.batch);
    m_widthBinders.push_back(new ColumnWidthBinder(
        ui->ListView3->header(), [this](int c) { return m_table.columns.listWidths().value(c, 1440.0f); },
        [this](int c, float w) { m_table.columns.setListWidth(c, w); }));
    m_widthBinders.back()->apply();
    auto* fileBinder = new ColumnWidthBinder(
        ui->ListView1->header(),
        [this](int c) { return c < m_table.columns.count() ? m_table.columns.column(c).width : 1440.0f; },
        [this](int c, float w) { m_table.columns.setWidth(c, w); });
    fileBinder->bindPositions(
        [this](int c) { return c < m_table.columns.count() ? m_table.columns.column(c).position : c + 1; },
        [this](int c, int p) { m_table.columns.setPosition(c, p); });
    m_widthBinders.push_back(fileBinder);
}

void Form1::connectHandlers()
{
    connect(ui->Pulldown_exit, &QAction::triggered, this, &Form1::Pulldown_exit_Click);
    connect(ui->Command10, &QPushButton::clicked, &m_engine, &RunEngine::start);
    connect(ui->Command11, &QPushButton::clicked, &m_engine, &RunEngine::requestAbort);
    connect(ui->PreviewButton, &QPushButton::clicked, this, &Form1::showPreview);
    connect(ui->Pulldown_list_preview, &QAction::triggered, this, &Form1::showPreview);
    connect(&m_engine, &RunEngine::buttonsChanged, this, [this](bool run, bool abort) {
        ui->Command10->setEnabled(run);
        ui->Command11->setEnabled(abort);
    });
    connect(&m_engine, &RunEngine::showLogTab, this, [this] { ui->SSTab1->setCurrentWidget(ui->logTab); });
    // The progress of a fast run changes with every job; the status bar shows it a few times a second.
    m_statusFlush.setSingleShot(true);
    m_statusFlush.setInterval(shownUpdatePeriod);
    connect(&m_statusFlush, &QTimer::timeout, this, [this] { StatusText->setText(m_engine.progressText()); });
    connect(&m_engine, &RunEngine::progressChanged, this, [this] {
        if (!m_statusFlush.isActive())
            m_statusFlush.start();
    });
    connect(&m_engine, &RunEngine::ended, this, [this] {
        m_statusFlush.stop();
        StatusText->setText(m_engine.results().summary());
    });
    connect(&m_engine, &RunEngine::allDone, this, &Form1::runCompletionAction, Qt::QueuedConnection);
    connect(ui->Text3, &QLineEdit::textEdited, &m_engine, &RunEngine::setNote);
    connect(&m_engine, &RunEngine::noteChanged, ui->Text3, &QLineEdit::setText);

    // The template, the log and the settings.
    connect(ui->Pulldown_file_table_save, &QAction::triggered, this,
            [this] { m_store.templateFile().saveAs(); });
    connect(ui->Pulldown_file_table_open, &QAction::triggered, this, &Form1::Pulldown_file_table_open_Click);
    connect(ui->Slider1, &QSlider::valueChanged, this,
            [this](int kilobytes) { m_store.logFile().setLimit(kilobytes); });
    connect(ui->Command3, &QPushButton::clicked, this, [this] { m_store.logFile().clear(); });
    connect(ui->Check2, &QCheckBox::clicked, this, &Form1::Check2_Click);
    connect(ui->Option2_0, &QRadioButton::clicked, this, [this] { m_table.settings.option2.select(0); });
    connect(ui->Option2_1, &QRadioButton::clicked, this, [this] { m_table.settings.option2.select(1); });
    bindSetting(ui->Check1, &WorkSettings::check1);
    bindSetting(ui->Check3, &WorkSettings::check3);

    // The file list, its filter and its columns.
    connect(ui->ListView1, &FileListView::filesDropped, this,
            [this](const QStringList& paths, int modifiers) {
                m_fileCommands.takeDroppedFiles(paths, modifiers);
            });
    connect(ui->ListView1, &FileListView::columnClicked, this,
            [this](int header) { m_fileCommands.sortByHeader(header); });
    connect(ui->ListView1, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->Pulldown_list, m_fileCommands.mayOpenFileMenu(Qt::RightButton)); });
    connect(ui->List1, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->Pulldown_kakuchosi, m_fileCommands.mayOpenFilterMenu(Qt::RightButton)); });
    connect(ui->ListView3, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->Pulldown_ColumnTool, m_fileCommands.mayOpenColumnMenu(Qt::RightButton)); });
    connect(ui->Option1_0, &QRadioButton::clicked, this, [this] { m_table.filter.choose(0); });
    connect(ui->Option1_1, &QRadioButton::clicked, this, [this] { m_table.filter.choose(1); });
    connect(ui->Pulldown_list_SelectDell, &QAction::triggered, this, &Form1::Pulldown_list_SelectDell_Click);
    connect(ui->Pulldown_list_AllDel, &QAction::triggered, this, [this] { m_fileCommands.removeAllRows(); });
    connect(ui->Pulldown_list_mozi, &QAction::triggered, this, &Form1::Pulldown_list_mozi_Click);
    connect(ui->Pulldown_kakuchosi_tuika, &QAction::triggered, this,
            [this] { m_fileCommands.addExtension(); });
    connect(ui->Pulldown_kakuchosi_del, &QAction::triggered, this, &Form1::Pulldown_kakuchosi_del_Click);
    connect(ui->Pulldown_ColumnTool_tuika, &QAction::triggered, this, [this] { m_fileCommands.addColumn(); });
    connect(ui->Pulldown_ColumnTool_sakuzyo, &QAction::triggered, this,
            &Form1::Pulldown_ColumnTool_sakuzyo_Click);

    // Applications, the parameter editor and the batch list.
    m_appCommands.setShowDialog([this](const AppDialogRequest& request) {
        Form2::showModal(m_appCommands, m_services.dialogs, request, this);
    });
    connect(ui->Pulldown_appli_tuika, &QAction::triggered, this, [this] { m_appCommands.addApplication(); });
    connect(ui->Pulldown_appli_sakuzyo, &QAction::triggered, this, &Form1::Pulldown_appli_sakuzyo_Click);
    connect(ui->Pulldown_appli_henkou, &QAction::triggered, this, &Form1::Pulldown_appli_henkou_Click);
    connect(ui->ListView2, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->Pulldown_appli, true); });
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui->ListView2, &QAbstractItemView::clicked, this, &Form1::ListView2_Click);
    connect(ui->ListView2, &QAbstractItemView::doubleClicked, this, &Form1::ListView2_DblClick);
    connect(ui->ListView3, &QAbstractItemView::doubleClicked, this, &Form1::ListView3_DblClick);
    connect(ui->Command1, &QPushButton::clicked, &m_editor, &ParameterEditor::addToBatch);
    connect(ui->Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(ui->Command6, &QPushButton::clicked, &m_editor, &ParameterEditor::editSample);
    connect(ui->Text1, &QPlainTextEdit::textChanged, this,
            [this] { m_editor.setText(ui->Text1->toPlainText()); });
    connect(&m_editor, &ParameterEditor::changed, this, &Form1::showEditor);
    connect(&m_editor, &ParameterEditor::runButtonEnabled, &m_engine, &RunEngine::setCanStart);
    connect(&m_batchCommands, &BatchCommands::runButtonEnabled, &m_engine, &RunEngine::setCanStart);
    connect(ui->ListView4, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->Pulldown_BatchList, m_table.batch.count() > 0); });
    connect(ui->Pulldown_BatchList_sakuzyo, &QAction::triggered, this,
            &Form1::Pulldown_BatchList_sakuzyo_Click);
    connect(ui->Pulldown_BatchList_Clear, &QAction::triggered, &m_batchCommands, &BatchCommands::clear);
    connect(ui->Pulldown_BatchList_saihensyu, &QAction::triggered, this,
            &Form1::Pulldown_BatchList_saihensyu_Click);
    connect(ui->UpDown1_Up, &QToolButton::clicked, this, &Form1::UpDown1_UpClick);
    connect(ui->UpDown1_Down, &QToolButton::clicked, this, &Form1::UpDown1_DownClick);
    // A list with rows always has a selected row, as the commands that act on it expect: a row added to a
    // list without a selection becomes the selected one.
    for (QTreeView* view : {ui->ListView2, ui->ListView4}) {
        connect(view->model(), &QAbstractItemModel::rowsInserted, view,
                [view](const QModelIndex&, int first) {
                    if (!view->selectionModel()->hasSelection())
                        selectRow(view, first);
                });
    }

    connect(ui->Pulldown_help_help, &QAction::triggered, this, [this] { m_help.openHelp(); });
    connect(ui->Pulldown_help_Version, &QAction::triggered, this, &Form1::Pulldown_help_Version_Click);
}

// A check box on the settings tab that sets a 0/1 field of the settings.
void Form1::bindSetting(QCheckBox* box, int WorkSettings::*setting)
{
    connect(box, &QCheckBox::clicked, this,
            [this, setting](bool on) { m_table.settings.*setting = on ? 1 : 0; });
}

int Form1::selectedRow(const QAbstractItemView* view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Form1::popUp(QMenu* menu, bool allowed)
{
    if (allowed)
        menu->exec(QCursor::pos());
}

void Form1::applyWidths()
{
    for (ColumnWidthBinder* b : m_widthBinders)
        b->apply();
}

void Form1::showSettings()
{
    const WorkSettings& s = m_table.settings;
    ui->Check1->setChecked(s.check1 == 1);
    ui->Check2->setChecked(s.check2 == 1);
    ui->Check3->setChecked(s.check3 == 1);
    const std::array option1{ui->Option1_0, ui->Option1_1};
    const std::array option2{ui->Option2_0, ui->Option2_1};
    for (int i = 0; i < 2; ++i) {
        // A pair with neither selected shows both cleared, which needs the group's exclusivity off.
        option2[i]->setAutoExclusive(false);
        option2[i]->setChecked(s.option2.isSelected(i));
        option2[i]->setAutoExclusive(true);
        option2[i]->setEnabled(s.option2Enabled);
        option1[i]->setAutoExclusive(false);
        option1[i]->setChecked(m_table.filter.mode().isSelected(i));
        option1[i]->setAutoExclusive(true);
    }
    ui->List1->setEnabled(m_table.filter.listEnabled());
    ui->Label6->setText(s.label6);
    const QSignalBlocker block(ui->Slider1);
    ui->Slider1->setValue(s.slider1);
}

void Form1::showPendingLog()
{
    m_logFlush.stop();
    if (m_pendingLog.empty())
        return;
    QString text;
    for (auto piece = m_pendingLog.rbegin(); piece != m_pendingLog.rend(); ++piece)
        text += *piece;
    m_pendingLog.clear();
    QTextCursor cursor(ui->Text2->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(displayText(text));
    trimShownLog();
}

void Form1::showLogText()
{
    m_logFlush.stop();
    m_pendingLog.clear();
    ui->Text2->setPlainText(displayText(m_table.log.text().left(qsizetype{2} * shownLogLimit)));
    trimShownLog();
}

// Cuts the shown text back to the limit once it has grown past it by a sixteenth, so that not every entry of
// a long run cuts.
void Form1::trimShownLog()
{
    QTextDocument* document = ui->Text2->document();
    if (document->characterCount() <= shownLogLimit + shownLogLimit / 16)
        return;
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlock(shownLogLimit).position());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

bool Form1::Form_Load()
{
    m_starting = true;
    const bool started = startUp();
    m_starting = false;
    // A start-up that gave up closes the window; the stop flag keeps both files as they are.
    if (!started && isVisible())
        close();
    return started;
}

bool Form1::startUp()
{
    m_table.stopFlag = 0;
    QString reason;
    const SingleInstance::Result lock = m_instance.acquire(m_services.programFolder, &reason);
    if (lock != SingleInstance::Result::Acquired) {
        // This process has loaded nothing, so it must never write; the files belong to the running one.
        m_table.stopFlag = -1;
        m_services.dialogs.message(lock == SingleInstance::Result::HeldByOther
                                       ? u"２重起動できません"_s
                                       : QDir::toNativeSeparators(m_services.programFolder) +
                                             u" にロックファイルを作成できません: "_s + reason,
                                   applicationTitle());
        return false;
    }
    ui->SSTab2->setTabText(0, QString());
    ui->SSTab2->setFixedHeight(Twips::toPixels(2600.0f, logicalDpiY()));
    ui->Text1->setEnabled(false);
    ui->SSTab1->setCurrentIndex(0);
    show();
    repaint();
    m_store.ensureStartupTemplate(m_services.executableFolder);
    if (m_store.loadAtStart() == TemplateFile::Outcome::GaveUp)
        return false;
    applyWidths();
    if (m_table.filter.mode().isSelected(0))
        ui->List1->setEnabled(false);
    m_table.log.prepend(ActivityLog::timed(m_services.clock.now(), u"Lomvato起動開始"_s, 1));
    m_table.log.prependSeparator();
    return true;
}

void Form1::Form_QueryUnload()
{
    ui->SSTab1->setCurrentIndex(0);
    // Nothing is written after a failed start-up; storeAtClose tells that case by the stop flag.
    m_store.storeAtClose();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A close asked for while a start-up message is open (a signal, the end of the session): the log, and
    // perhaps the template, are not loaded yet, so nothing may be written, and start-up must not go on
    // behind a closed window. The process ends at once, and the next start finds the lock free.
    if (m_starting) {
        m_instance.release();
        std::_Exit(0);
    }
    if (!m_closing) {
        m_closing = true;
        // A close is not the end of the work: the jobs still running are left to run, and no completion
        // action follows (it could power the machine off under a user who only closed the window).
        m_engine.leave();
        Form_QueryUnload();
    }
    event->accept();
}

void Form1::Pulldown_exit_Click()
{
    if (m_services.dialogs.message(u"アプリケーションを終了します。よろしいですか？"_s, u"終了確認"_s,
                                   Dialogs::Buttons::OkCancel) == Dialogs::Answer::Cancel)
        return;
    close();
}

void Form1::Check2_Click()
{
    m_table.settings.check2 = ui->Check2->isChecked() ? 1 : 0;
    m_table.settings.option2Enabled = m_table.settings.check2 == 1;
    for (QRadioButton* b : {ui->Option2_0, ui->Option2_1})
        b->setEnabled(m_table.settings.option2Enabled);
}

void Form1::Pulldown_file_table_open_Click()
{
    m_store.templateFile().open();
    applyWidths();
}

std::vector<int> Form1::selectedFileRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : ui->ListView1->selectionModel()->selectedRows())
        rows.push_back(i.row());
    return rows;
}

void Form1::Pulldown_list_SelectDell_Click()
{
    m_fileCommands.removeRows(selectedFileRows());
}

void Form1::Pulldown_list_mozi_Click()
{
    if (!m_fileCommands.mayOpenColumnFill())
        return;
    Form3 dialog(m_table.columns, m_table.files, selectedFileRows(), m_services.dialogs, this);
    dialog.exec();
}

void Form1::Pulldown_kakuchosi_del_Click()
{
    const QModelIndex current = ui->List1->currentIndex();
    m_fileCommands.removeExtension(current.isValid() ? current.row() : -1);
}

void Form1::Pulldown_ColumnTool_sakuzyo_Click()
{
    m_fileCommands.removeColumn(selectedRow(ui->ListView3));
}

void Form1::Pulldown_help_Version_Click()
{
    frmAbout dialog(m_services.registry, m_services.files, m_services.launcher, m_services.dialogs, this);
    dialog.exec();
}

void Form1::runCompletionAction()
{
    if (m_closing)
        return;
    CompletionAction action(m_table.settings, m_table.log, m_services.dialogs, m_services.power,
                            m_services.clock);
    const auto outcome = action.run(
        [this](CompletionCountdown& countdown) { Form6(countdown, m_services.clock, this).exec(); },
        [this] { m_store.storeAtClose(); });
    if (CompletionAction::closesWindow(outcome))
        close();
}

void Form1::selectRow(QAbstractItemView* view, int row)
{
    if (row < 0 || row >= view->model()->rowCount())
        return;
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Form1::showEditor()
{
    ui->Label1->setText(m_editor.label1());
    ui->Label9_0->setText(m_editor.label9(ParameterEditor::Key));
    if (ui->Text1->toPlainText() != m_editor.text1()) {
        const QSignalBlocker block(ui->Text1);
        ui->Text1->setPlainText(m_editor.text1());
    }
    ui->Text1->setEnabled(m_editor.isTextOpen());
    ui->Command1->setEnabled(m_editor.isEditing());
    ui->Command5->setEnabled(m_editor.isEditing());
    ui->Command6->setEnabled(m_editor.canEditSample());
}

void Form1::Pulldown_appli_sakuzyo_Click()
{
    m_appCommands.removeApplication(selectedRow(ui->ListView2));
}

void Form1::Pulldown_appli_henkou_Click()
{
    m_appCommands.changeApplication(selectedRow(ui->ListView2));
}

void Form1::Command2_Click()
{
    m_appCommands.startApplication(selectedRow(ui->ListView2));
}

void Form1::ListView2_Click()
{
    m_editor.selectApplication(selectedRow(ui->ListView2));
}

// Puts the caret behind an inserted key and gives the text box the focus.
void Form1::insertKey(int caret)
{
    if (caret < 0)
        return;
    QTextCursor cursor = ui->Text1->textCursor();
    cursor.setPosition(caret);
    ui->Text1->setTextCursor(cursor);
    ui->Text1->setFocus();
}

void Form1::ListView2_DblClick()
{
    const QTextCursor cursor = ui->Text1->textCursor();
    insertKey(m_editor.insertApplicationKey(selectedRow(ui->ListView2), cursor.selectionStart(),
                                            cursor.selectionEnd() - cursor.selectionStart()));
}

void Form1::ListView3_DblClick()
{
    const QTextCursor cursor = ui->Text1->textCursor();
    insertKey(m_editor.insertColumnKey(selectedRow(ui->ListView3), cursor.selectionStart(),
                                       cursor.selectionEnd() - cursor.selectionStart()));
}

void Form1::Command5_Click()
{
    m_editor.storeAsSample(selectedRow(ui->ListView2));
}

void Form1::Pulldown_BatchList_sakuzyo_Click()
{
    m_batchCommands.removeEntry(selectedRow(ui->ListView4));
}

void Form1::Pulldown_BatchList_saihensyu_Click()
{
    m_batchCommands.reedit(selectedRow(ui->ListView4));
}

void Form1::UpDown1_UpClick()
{
    selectRow(ui->ListView4, m_batchCommands.moveUp(selectedRow(ui->ListView4)));
}

void Form1::UpDown1_DownClick()
{
    selectRow(ui->ListView4, m_batchCommands.moveDown(selectedRow(ui->ListView4)));
}

void Form1::showPreview()
{
    if (!m_preview) {
        auto* window = new PreviewWindow(m_table, m_services.launcher, m_services.files, m_engine,
                                         m_services.dialogs, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        m_preview = window;
    }
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}
