#include "MainWindow.h"

#include "LogTab.h"
#include "ResultsTab.h"
#include "RunSettingsBox.h"
#include "SettingsTab.h"
#include "platform/ProgramFolder.h"

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
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <array>
#include <cstdlib>
#include <utility>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_engine(m_table, m_services.launcher, m_services.files, m_services.clock, m_services.dialogs),
      m_store(m_table, m_services.dialogs, m_services.files, m_services.programFolder),
      m_fileCommands(m_table, m_services.dialogs, m_services.files), m_editor(m_table),
      m_appCommands(m_table.apps, m_editor, m_services.dialogs, m_services.files, m_services.launcher,
                    m_services.executableFolder),
      m_batchCommands(m_table.batch, m_editor),
      m_help(m_services.files, m_urlOpener, m_services.programFolder, m_services.executableFolder),
      m_journal(joinPath(m_services.programFolder, u"runs"_s), m_services.clock),
      ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    // Designer names neither a menu's own action nor a separator.
    for (QMenu* menu : ui->menubar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        menu->menuAction()->setObjectName(menu->objectName());
    for (QAction* line :
         {ui->fileMenuSeparator, ui->appMenuSeparator, ui->batchMenuSeparator, ui->fileListMenuSeparator})
        line->setSeparator(true);
    ui->batchMenu->menuAction()->setVisible(false);
    ui->columnMenu->menuAction()->setVisible(false);

    QString settingsProblem;
    m_runSettings = RunSettingsBox::load(m_services.programFolder, &settingsProblem);
    m_engine.setPace(m_runSettings.fast, m_runSettings.parallel);
    m_journal.setKeep(m_runSettings.keptRuns);
    addTabBuiltWhenShown(u"ログ"_s, [this] {
        auto* log = new LogTab(m_table.log);
        connect(log, &LogTab::clearRequested, this, [this] { m_store.logFile().clear(); });
        return log;
    });
    addTabBuiltWhenShown(u"環境設定"_s, [this] {
        auto* runSettings =
            new RunSettingsBox(m_services.programFolder, m_runSettings, m_engine, m_services.dialogs);
        connect(runSettings, &RunSettingsBox::keptRunsChanged, &m_journal, &RunJournal::setKeep);
        return new SettingsTab(m_table.settings, m_store.logFile(), runSettings);
    });
    addTabBuiltWhenShown(u"結果"_s, [this] {
        auto* results = new ResultsTab(m_engine, m_journal, m_services.dialogs);
        // However the last run ended, its results are shown again.
        results->showLastRun();
        return results;
    });
    connect(ui->tabs, &QTabWidget::currentChanged, this, &MainWindow::buildTab);
    // The results tab follows each run from its start, so it stands before the journal begins the run.
    connect(&m_engine, &RunEngine::begun, this, [this] { buildTab(ResultsPage); });
    m_journal.follow(m_engine);
    connect(&m_engine, &RunEngine::ended, &m_journal, &RunJournal::endRun);

    m_statusText = new QLabel(settingsProblem, ui->mainStatusBar);
    m_statusText->setObjectName(u"statusText"_s);
    m_statusText->setTextFormat(Qt::PlainText);
    ui->mainStatusBar->addWidget(m_statusText, 1);

    setUpViews();

    // A loaded template brings its own filter; the settings tab shows the rest of the settings.
    connect(&m_table.settings, &WorkSettings::changed, this, &MainWindow::showFilter);
    connect(&m_table.filter, &ExtensionFilter::modeChanged, this, &MainWindow::showFilter);
    connect(&m_table.columns, &ColumnSet::headerChanged, this, &MainWindow::applyWidths);
    connectHandlers();
    showFilter();
}

MainWindow::~MainWindow() = default;

void MainWindow::addTabBuiltWhenShown(const QString& title, std::function<QWidget*()> build)
{
    auto* page = new QWidget;
    (new QVBoxLayout(page))->setContentsMargins({});
    const auto index = static_cast<std::size_t>(ui->tabs->addTab(page, title));
    m_unbuiltTabs.resize(index + 1);
    m_unbuiltTabs[index] = std::move(build);
}

void MainWindow::buildTab(int index)
{
    const auto at = static_cast<std::size_t>(index);
    if (index < 0 || at >= m_unbuiltTabs.size() || !m_unbuiltTabs[at])
        return;
    const std::function<QWidget*()> build = std::exchange(m_unbuiltTabs[at], nullptr);
    ui->tabs->widget(index)->layout()->addWidget(build());
}

// The lists show the work table's models, each column as wide as the table holds it in twips.
void MainWindow::setUpViews()
{
    for (QTreeView* view : {ui->appList, ui->keyList, ui->batchList}) {
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
    ui->appList->setModel(&m_table.apps);
    ui->keyList->setModel(&m_table.columns);
    ui->batchList->setModel(&m_table.batch);
    ui->fileList->setModel(&m_table.files);
    ui->extensionList->setModel(&m_table.filter);

    auto bindRows = [this](QTreeView* view, TextRowList& list) {
        m_widthBinders.push_back(new ColumnWidthBinder(
            view->header(), [&list](int c) { return list.widths().value(c, Twips::defaultWidth); },
            [&list](int c, float w) { list.setWidth(c, w); }));
        m_widthBinders.back()->apply();
    };
    bindRows(ui->appList, m_table.apps);
    bindRows(ui->batchList, m_table.batch);
    m_widthBinders.push_back(new ColumnWidthBinder(
        ui->keyList->header(),
        [this](int c) { return m_table.columns.listWidths().value(c, Twips::defaultWidth); },
        [this](int c, float w) { m_table.columns.setListWidth(c, w); }));
    m_widthBinders.back()->apply();
    auto* fileBinder = new ColumnWidthBinder(
        ui->fileList->header(),
        [this](int c) {
            return c < m_table.columns.count() ? m_table.columns.column(c).width : Twips::defaultWidth;
        },
        [this](int c, float w) { m_table.columns.setWidth(c, w); });
    fileBinder->bindPositions(
        [this](int c) { return c < m_table.columns.count() ? m_table.columns.column(c).position : c + 1; },
        [this](int c, int p) { m_table.columns.setPosition(c, p); });
    m_widthBinders.push_back(fileBinder);
}

void MainWindow::connectHandlers()
{
    connect(ui->exitAction, &QAction::triggered, this, &MainWindow::quit);
    connect(ui->runButton, &QPushButton::clicked, &m_engine, &RunEngine::start);
    connect(ui->abortButton, &QPushButton::clicked, &m_engine, &RunEngine::requestAbort);
    connect(ui->previewButton, &QPushButton::clicked, this, &MainWindow::showPreview);
    connect(ui->previewAction, &QAction::triggered, this, &MainWindow::showPreview);
    connect(&m_engine, &RunEngine::buttonsChanged, this, [this](bool run, bool abort) {
        ui->runButton->setEnabled(run);
        ui->abortButton->setEnabled(abort);
    });
    connect(&m_engine, &RunEngine::showLogTab, this, [this] { ui->tabs->setCurrentIndex(LogPage); });
    // The progress of a fast run changes with every job; the status bar shows it a few times a second.
    m_statusFlush.setSingleShot(true);
    m_statusFlush.setInterval(LogTab::shownUpdatePeriod);
    connect(&m_statusFlush, &QTimer::timeout, this,
            [this] { m_statusText->setText(m_engine.progressText()); });
    connect(&m_engine, &RunEngine::progressChanged, this, [this] {
        if (!m_statusFlush.isActive())
            m_statusFlush.start();
    });
    connect(&m_engine, &RunEngine::ended, this, [this] {
        m_statusFlush.stop();
        m_statusText->setText(m_engine.results().summary());
    });
    connect(&m_engine, &RunEngine::allDone, this, &MainWindow::runCompletionAction, Qt::QueuedConnection);
    connect(ui->noteEdit, &QLineEdit::textEdited, &m_engine, &RunEngine::setNote);
    connect(&m_engine, &RunEngine::noteChanged, ui->noteEdit, &QLineEdit::setText);

    // The template, the log and the settings.
    connect(ui->saveTemplateAction, &QAction::triggered, this, [this] { m_store.templateFile().saveAs(); });
    connect(ui->openTemplateAction, &QAction::triggered, this, &MainWindow::openTemplate);

    // The file list, its filter and its columns.
    connect(ui->fileList, &FileListView::filesDropped, this,
            [this](const QStringList& paths, Qt::KeyboardModifiers modifiers) {
                m_fileCommands.takeDroppedFiles(paths, modifiers);
            });
    connect(ui->fileList, &FileListView::columnClicked, this,
            [this](int header) { m_fileCommands.sortByHeader(header); });
    connect(ui->fileList, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->fileListMenu, m_fileCommands.mayOpenFileMenu(Qt::RightButton)); });
    connect(ui->extensionList, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->filterMenu, m_fileCommands.mayOpenFilterMenu(Qt::RightButton)); });
    connect(ui->keyList, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->columnMenu, m_fileCommands.mayOpenColumnMenu(Qt::RightButton)); });
    connect(ui->filterOffOption, &QRadioButton::clicked, this, [this] { m_table.filter.choose(0); });
    connect(ui->filterOnOption, &QRadioButton::clicked, this, [this] { m_table.filter.choose(1); });
    connect(ui->removeSelectedFilesAction, &QAction::triggered, this, &MainWindow::removeSelectedFiles);
    connect(ui->removeAllFilesAction, &QAction::triggered, this, [this] { m_fileCommands.removeAllRows(); });
    connect(ui->fillColumnAction, &QAction::triggered, this, &MainWindow::fillColumn);
    connect(ui->addExtensionAction, &QAction::triggered, this, [this] { m_fileCommands.addExtension(); });
    connect(ui->removeExtensionAction, &QAction::triggered, this, &MainWindow::removeExtension);
    connect(ui->addColumnAction, &QAction::triggered, this, [this] { m_fileCommands.addColumn(); });
    connect(ui->removeColumnAction, &QAction::triggered, this, &MainWindow::removeColumn);

    // Applications, the parameter editor and the batch list.
    m_appCommands.setShowDialog([this](const AppDialogRequest& request) {
        ApplicationDialog::showModal(m_appCommands, m_services.dialogs, request, this);
    });
    connect(ui->addAppAction, &QAction::triggered, this, [this] { m_appCommands.addApplication(); });
    connect(ui->removeAppAction, &QAction::triggered, this,
            [this] { m_appCommands.removeApplication(selectedRow(ui->appList)); });
    connect(ui->changeAppAction, &QAction::triggered, this,
            [this] { m_appCommands.changeApplication(selectedRow(ui->appList)); });
    connect(ui->appList, &QWidget::customContextMenuRequested, this, [this] { popUp(ui->appMenu, true); });
    connect(ui->startAppButton, &QPushButton::clicked, this,
            [this] { m_appCommands.startApplication(selectedRow(ui->appList)); });
    connect(ui->appList, &QAbstractItemView::clicked, this, &MainWindow::selectApplication);
    connect(ui->appList, &QAbstractItemView::doubleClicked, this,
            [this] { insertKey(&ParameterEditor::insertApplicationKey, ui->appList); });
    connect(ui->keyList, &QAbstractItemView::doubleClicked, this,
            [this] { insertKey(&ParameterEditor::insertColumnKey, ui->keyList); });
    connect(ui->addToBatchButton, &QPushButton::clicked, &m_editor, &ParameterEditor::addToBatch);
    connect(ui->storeSampleButton, &QPushButton::clicked, this,
            [this] { m_editor.storeAsSample(selectedRow(ui->appList)); });
    connect(ui->editSampleButton, &QPushButton::clicked, &m_editor, &ParameterEditor::editSample);
    connect(ui->parameterEdit, &QPlainTextEdit::textChanged, this,
            [this] { m_editor.setText(ui->parameterEdit->toPlainText()); });
    connect(&m_editor, &ParameterEditor::changed, this, &MainWindow::showEditor);
    connect(&m_editor, &ParameterEditor::runButtonEnabled, &m_engine, &RunEngine::setCanStart);
    connect(&m_batchCommands, &BatchCommands::runButtonEnabled, &m_engine, &RunEngine::setCanStart);
    connect(ui->batchList, &QWidget::customContextMenuRequested, this,
            [this] { popUp(ui->batchMenu, m_table.batch.count() > 0); });
    connect(ui->removeBatchEntryAction, &QAction::triggered, this,
            [this] { m_batchCommands.removeEntry(selectedRow(ui->batchList)); });
    connect(ui->clearBatchAction, &QAction::triggered, &m_batchCommands, &BatchCommands::clear);
    connect(ui->reeditBatchEntryAction, &QAction::triggered, this,
            [this] { m_batchCommands.reedit(selectedRow(ui->batchList)); });
    connect(ui->moveUpButton, &QToolButton::clicked, this,
            [this] { selectRow(ui->batchList, m_batchCommands.moveUp(selectedRow(ui->batchList))); });
    connect(ui->moveDownButton, &QToolButton::clicked, this,
            [this] { selectRow(ui->batchList, m_batchCommands.moveDown(selectedRow(ui->batchList))); });
    // A list with rows always has a selected row, as the commands that act on it expect: a row added to a
    // list without a selection becomes the selected one.
    for (QTreeView* view : {ui->appList, ui->batchList}) {
        connect(view->model(), &QAbstractItemModel::rowsInserted, view,
                [view](const QModelIndex&, int first) {
                    if (!view->selectionModel()->hasSelection())
                        selectRow(view, first);
                });
    }

    connect(ui->helpAction, &QAction::triggered, this, [this] { m_help.openHelp(); });
    connect(ui->aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
}

int MainWindow::selectedRow(const QAbstractItemView* view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MainWindow::popUp(QMenu* menu, bool allowed)
{
    if (allowed)
        menu->exec(QCursor::pos());
}

void MainWindow::applyWidths()
{
    for (ColumnWidthBinder* b : m_widthBinders)
        b->apply();
}

void MainWindow::showFilter()
{
    const std::array filterMode{ui->filterOffOption, ui->filterOnOption};
    for (int i = 0; i < 2; ++i) {
        // A pair with neither selected shows both cleared, which needs the group's exclusivity off.
        filterMode[i]->setAutoExclusive(false);
        filterMode[i]->setChecked(m_table.filter.mode().isSelected(i));
        filterMode[i]->setAutoExclusive(true);
    }
    ui->extensionList->setEnabled(m_table.filter.listEnabled());
}

bool MainWindow::start()
{
    m_starting = true;
    const bool started = startUp();
    m_starting = false;
    // A start-up that gave up closes the window; the stop flag keeps both files as they are.
    if (!started && isVisible())
        close();
    return started;
}

bool MainWindow::startUp()
{
    m_table.startupIncomplete = false;
    QString reason;
    const SingleInstance::Result lock = m_instance.acquire(m_services.programFolder, &reason);
    if (lock != SingleInstance::Result::Acquired) {
        // This process has loaded nothing, so it must never write; the files belong to the running one.
        m_table.startupIncomplete = true;
        m_services.dialogs.message(lock == SingleInstance::Result::HeldByOther
                                       ? u"２重起動できません"_s
                                       : QDir::toNativeSeparators(m_services.programFolder) +
                                             u" にロックファイルを作成できません: "_s + reason,
                                   applicationTitle());
        return false;
    }
    ui->fileListTabs->setTabText(0, QString());
    ui->fileListTabs->setFixedHeight(Twips::toPixels(2600.0f, logicalDpiY()));
    ui->parameterEdit->setEnabled(false);
    ui->tabs->setCurrentIndex(0);
    show();
    repaint();
    m_store.ensureStartupTemplate(m_services.executableFolder);
    if (m_store.loadAtStart() == TemplateFile::Outcome::GaveUp)
        return false;
    applyWidths();
    if (m_table.filter.mode().isSelected(0))
        ui->extensionList->setEnabled(false);
    m_table.log.prepend(ActivityLog::timed(m_services.clock.now(), u"Lomvato起動開始"_s, 1));
    m_table.log.prependSeparator();
    return true;
}

void MainWindow::storeAtClose()
{
    ui->tabs->setCurrentIndex(0);
    // Nothing is written after a failed start-up; storeAtClose tells that case by the stop flag.
    m_store.storeAtClose();
}

void MainWindow::closeEvent(QCloseEvent* event)
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
        storeAtClose();
    }
    event->accept();
}

void MainWindow::quit()
{
    if (m_services.dialogs.message(u"アプリケーションを終了します。よろしいですか？"_s, u"終了確認"_s,
                                   Dialogs::Buttons::OkCancel) == Dialogs::Answer::Cancel)
        return;
    close();
}

void MainWindow::openTemplate()
{
    m_store.templateFile().open();
    applyWidths();
}

std::vector<int> MainWindow::selectedFileRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : ui->fileList->selectionModel()->selectedRows())
        rows.push_back(i.row());
    return rows;
}

void MainWindow::removeSelectedFiles()
{
    m_fileCommands.removeRows(selectedFileRows());
}

void MainWindow::fillColumn()
{
    if (!m_fileCommands.mayOpenColumnFill())
        return;
    ColumnFillDialog dialog(m_table.columns, m_table.files, selectedFileRows(), m_services.dialogs, this);
    dialog.exec();
}

void MainWindow::removeExtension()
{
    const QModelIndex current = ui->extensionList->currentIndex();
    m_fileCommands.removeExtension(current.isValid() ? current.row() : -1);
}

void MainWindow::removeColumn()
{
    m_fileCommands.removeColumn(selectedRow(ui->keyList));
}

void MainWindow::showAbout()
{
    AboutDialog dialog(m_services.registry, m_services.files, m_services.launcher, m_services.dialogs, this);
    dialog.exec();
}

void MainWindow::runCompletionAction()
{
    if (m_closing)
        return;
    CompletionAction action(m_table.settings, m_table.log, m_services.dialogs, m_services.power,
                            m_services.clock);
    const auto outcome = action.run(
        [this](CompletionCountdown& countdown) {
            ShutdownCountdownDialog(countdown, m_services.clock, this).exec();
        },
        [this] { m_store.storeAtClose(); });
    if (CompletionAction::closesWindow(outcome))
        close();
}

void MainWindow::selectRow(QAbstractItemView* view, int row)
{
    if (row < 0 || row >= view->model()->rowCount())
        return;
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MainWindow::showEditor()
{
    ui->sampleLabel->setText(m_editor.sample());
    ui->editTargetLabel->setText(m_editor.editTarget(ParameterEditor::Key));
    if (ui->parameterEdit->toPlainText() != m_editor.text()) {
        const QSignalBlocker block(ui->parameterEdit);
        ui->parameterEdit->setPlainText(m_editor.text());
    }
    ui->parameterEdit->setEnabled(m_editor.isTextOpen());
    ui->addToBatchButton->setEnabled(m_editor.isEditing());
    ui->storeSampleButton->setEnabled(m_editor.isEditing());
    ui->editSampleButton->setEnabled(m_editor.canEditSample());
}

void MainWindow::selectApplication()
{
    m_editor.selectApplication(selectedRow(ui->appList));
}

// Inserts the key of the row selected in `list` over the text box's selection, then puts the caret behind
// it and gives the text box the focus.
void MainWindow::insertKey(int (ParameterEditor::*insert)(int, int, int), const QAbstractItemView* list)
{
    QTextCursor cursor = ui->parameterEdit->textCursor();
    const int caret = (m_editor.*insert)(selectedRow(list), cursor.selectionStart(),
                                         cursor.selectionEnd() - cursor.selectionStart());
    if (caret < 0)
        return;
    cursor.setPosition(caret);
    ui->parameterEdit->setTextCursor(cursor);
    ui->parameterEdit->setFocus();
}

void MainWindow::showPreview()
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
