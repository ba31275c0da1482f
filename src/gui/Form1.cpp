#include "Form1.h"

#include "ResultsTab.h"
#include "RunSettingsBox.h"

#include "ColumnWidthBinder.h"
#include "FileListView.h"
#include "Form2.h"
#include "Form3.h"
#include "Form6.h"
#include "ListItemDelegate.h"
#include "PreviewWindow.h"
#include "core/Twips.h"
#include "frmAbout.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{

template <typename T> T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QTreeView* makeListView(const QString& name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = named(new QTreeView(parent), name);
    view->setModel(model);
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
    return view;
}

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
      m_help(m_services.files, m_urlOpener, m_services.programFolder, m_services.executableFolder)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Lomvato"_s);
    resize(980, 760);

    SSTab1 = named(new QTabWidget(this), u"SSTab1"_s);
    SSTab1->addTab(buildMainTab(), u"メイン"_s);
    SSTab1->addTab(buildLogTab(), u"ログ"_s);
    SSTab1->addTab(buildSettingsTab(), u"環境設定"_s);
    SSTab1->addTab(new ResultsTab(m_engine, m_services.dialogs, this), u"結果"_s);
    if (auto* settings = qobject_cast<QBoxLayout*>(SSTab1->widget(2)->layout()))
        settings->addWidget(new RunSettingsBox(m_services.programFolder, m_engine, this));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(SSTab1, 1);
    auto* runRow = new QHBoxLayout;
    Command10 = named(new QPushButton(u"実　　行"_s, central), u"Command10"_s);
    Command11 = named(new QPushButton(u"中　　断"_s, central), u"Command11"_s);
    Command10->setEnabled(false);
    Command11->setEnabled(false);
    Text3 = named(new QLineEdit(central), u"Text3"_s);
    PreviewButton = named(new QPushButton(u"プレビュー…"_s, central), u"PreviewButton"_s);
    PreviewButton->setToolTip(u"コマンドラインのプレビュー"_s);
    runRow->addWidget(Command10);
    runRow->addWidget(PreviewButton);
    runRow->addWidget(Command11);
    runRow->addWidget(Text3, 1);
    layout->addLayout(runRow);
    setCentralWidget(central);

    auto* bar = named(new QStatusBar(this), u"StatusBar1"_s);
    StatusText = named(new QLabel(bar), u"StatusText"_s);
    StatusText->setTextFormat(Qt::PlainText);
    bar->addWidget(StatusText, 1);
    setStatusBar(bar);

    buildMenus();

    connect(&m_table.log, &ActivityLog::prepended, this, [this](const QString& piece) {
        QTextCursor cursor(Text2->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(displayText(piece));
        trimShownLog();
    });
    connect(&m_table.log, &ActivityLog::reset, this, &Form1::showLogText);
    connect(&m_table.settings, &WorkSettings::changed, this, &Form1::showSettings);
    connect(&m_table.filter, &ExtensionFilter::modeChanged, this, &Form1::showSettings);
    connect(&m_table.columns, &ColumnSet::headerChanged, this, &Form1::applyWidths);
    connectHandlers();
    showSettings();
}

Form1::~Form1() = default;

void Form1::connectHandlers()
{
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
    connect(PreviewButton, &QPushButton::clicked, this, &Form1::showPreview);
    connect(action(u"Pulldown_list_preview"_s), &QAction::triggered, this, &Form1::showPreview);
    connect(&m_engine, &RunEngine::buttonsChanged, this, [this](bool run, bool abort) {
        Command10->setEnabled(run);
        Command11->setEnabled(abort);
    });
    connect(&m_engine, &RunEngine::showLogTab, this, [this] { SSTab1->setCurrentIndex(1); });
    connect(&m_engine, &RunEngine::progressChanged, StatusText, &QLabel::setText);
    connect(&m_engine, &RunEngine::ended, this,
            [this] { StatusText->setText(m_engine.results().summary()); });
    connect(&m_engine, &RunEngine::allDone, this, &Form1::runCompletionAction, Qt::QueuedConnection);
    connect(Text3, &QLineEdit::textEdited, this, [this](const QString& text) { m_engine.setNote(text); });
    connect(&m_engine, &RunEngine::noteChanged, Text3, &QLineEdit::setText);

    connect(action(u"Pulldown_file_table_save"_s), &QAction::triggered, this,
            &Form1::Pulldown_file_table_save_Click);
    connect(action(u"Pulldown_file_table_open"_s), &QAction::triggered, this,
            &Form1::Pulldown_file_table_open_Click);
    connect(Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    connect(ListView1, &FileListView::filesDropped, this, &Form1::ListView1_OLEDragDrop);
    connect(ListView1, &FileListView::columnClicked, this, &Form1::ListView1_ColumnClick);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this] { popUp(Pulldown_list, m_fileCommands.mayOpenFileMenu(Qt::RightButton)); });
    connect(List1, &QWidget::customContextMenuRequested, this,
            [this] { popUp(Pulldown_kakuchosi, m_fileCommands.mayOpenFilterMenu(Qt::RightButton)); });
    connect(ListView3, &QWidget::customContextMenuRequested, this,
            [this] { popUp(Pulldown_ColumnTool, m_fileCommands.mayOpenColumnMenu(Qt::RightButton)); });
    connect(action(u"Pulldown_list_SelectDell"_s), &QAction::triggered, this,
            &Form1::Pulldown_list_SelectDell_Click);
    connect(action(u"Pulldown_list_AllDel"_s), &QAction::triggered, this, &Form1::Pulldown_list_AllDel_Click);
    connect(action(u"Pulldown_list_mozi"_s), &QAction::triggered, this, &Form1::Pulldown_list_mozi_Click);
    connect(action(u"Pulldown_kakuchosi_tuika"_s), &QAction::triggered, this,
            &Form1::Pulldown_kakuchosi_tuika_Click);
    connect(action(u"Pulldown_kakuchosi_del"_s), &QAction::triggered, this,
            &Form1::Pulldown_kakuchosi_del_Click);
    connect(action(u"Pulldown_ColumnTool_tuika"_s), &QAction::triggered, this,
            &Form1::Pulldown_ColumnTool_tuika_Click);
    connect(action(u"Pulldown_ColumnTool_sakuzyo"_s), &QAction::triggered, this,
            &Form1::Pulldown_ColumnTool_sakuzyo_Click);

    // Applications, the parameter editor and the batch list.
    m_appCommands.setShowDialog([this](const AppDialogRequest& request) {
        Form2::showModal(m_appCommands, m_services.dialogs, request, this);
    });
    connect(action(u"Pulldown_appli_tuika"_s), &QAction::triggered, this, &Form1::Pulldown_appli_tuika_Click);
    connect(action(u"Pulldown_appli_sakuzyo"_s), &QAction::triggered, this,
            &Form1::Pulldown_appli_sakuzyo_Click);
    connect(action(u"Pulldown_appli_henkou"_s), &QAction::triggered, this,
            &Form1::Pulldown_appli_henkou_Click);
    connect(ListView2, &QWidget::customContextMenuRequested, this, [this] { popUp(Pulldown_appli, true); });
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ListView2, &QAbstractItemView::clicked, this, &Form1::ListView2_Click);
    connect(ListView2, &QAbstractItemView::doubleClicked, this, &Form1::ListView2_DblClick);
    connect(ListView3, &QAbstractItemView::doubleClicked, this, &Form1::ListView3_DblClick);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] { m_editor.setText(Text1->toPlainText()); });
    connect(&m_editor, &ParameterEditor::changed, this, &Form1::showEditor);
    connect(&m_editor, &ParameterEditor::runButtonEnabled, &m_engine, &RunEngine::setCanStart);
    connect(&m_batchCommands, &BatchCommands::runButtonEnabled, &m_engine, &RunEngine::setCanStart);
    connect(ListView4, &QWidget::customContextMenuRequested, this,
            [this] { popUp(Pulldown_BatchList, m_table.batch.count() > 0); });
    connect(action(u"Pulldown_BatchList_sakuzyo"_s), &QAction::triggered, this,
            &Form1::Pulldown_BatchList_sakuzyo_Click);
    connect(action(u"Pulldown_BatchList_Clear"_s), &QAction::triggered, this,
            &Form1::Pulldown_BatchList_Clear_Click);
    connect(action(u"Pulldown_BatchList_saihensyu"_s), &QAction::triggered, this,
            &Form1::Pulldown_BatchList_saihensyu_Click);
    connect(UpDown1Up, &QToolButton::clicked, this, &Form1::UpDown1_UpClick);
    connect(UpDown1Down, &QToolButton::clicked, this, &Form1::UpDown1_DownClick);
    // A list with rows always has a selected row, as the commands that act on it expect: a row added to a
    // list without a selection becomes the selected one.
    for (QTreeView* view : {ListView2, ListView4}) {
        connect(view->model(), &QAbstractItemModel::rowsInserted, view,
                [view](const QModelIndex&, int first) {
                    if (!view->selectionModel()->hasSelection())
                        selectRow(view, first);
                });
    }

    connect(action(u"Pulldown_help_help"_s), &QAction::triggered, this, &Form1::Pulldown_help_help_Click);
    connect(action(u"Pulldown_help_Version"_s), &QAction::triggered, this,
            &Form1::Pulldown_help_Version_Click);
}

QAction* Form1::action(const QString& name) const
{
    return findChild<QAction*>(name);
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

void Form1::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto addMenu = [bar](const QString& name, const QString& caption) {
        QMenu* menu = named(new QMenu(caption, bar), name);
        menu->menuAction()->setObjectName(name);
        bar->addMenu(menu);
        return menu;
    };
    auto addItem = [](QMenu* menu, const QString& name, const QString& caption,
                      const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        return action;
    };

    QMenu* file = addMenu(u"Pulldown_file"_s, u"ファイル(&F)"_s);
    QMenu* table = named(file->addMenu(u"テーブル(&T)"_s), u"Pulldown_file_table"_s);
    addItem(table, u"Pulldown_file_table_save"_s, u"保存（&S）"_s, QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(table, u"Pulldown_file_table_open"_s, u"開く(&O)"_s, QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator()->setObjectName(u"Pulldown_line1"_s);
    connect(addItem(file, u"Pulldown_exit"_s, u"終了（&Q）"_s, QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &Form1::Pulldown_exit_Click);

    Pulldown_appli = addMenu(u"Pulldown_appli"_s, u"外部アプリケーション(&S)"_s);
    addItem(Pulldown_appli, u"Pulldown_appli_tuika"_s, u"追加(&N)"_s);
    addItem(Pulldown_appli, u"Pulldown_appli_sakuzyo"_s, u"削除(&X)"_s);
    Pulldown_appli->addSeparator()->setObjectName(u"Pulldown_appli_line1"_s);
    addItem(Pulldown_appli, u"Pulldown_appli_henkou"_s, u"変更(&R)"_s);

    // Pop-up menus only: they stand in the bar's order but are not shown there.
    Pulldown_BatchList = addMenu(u"Pulldown_BatchList"_s, u"バッチリスト"_s);
    addItem(Pulldown_BatchList, u"Pulldown_BatchList_sakuzyo"_s, u"選択項目を削除"_s);
    addItem(Pulldown_BatchList, u"Pulldown_BatchList_Clear"_s, u"全削除"_s);
    Pulldown_BatchList->addSeparator()->setObjectName(u"Pulldown_BatchList_line1"_s);
    addItem(Pulldown_BatchList, u"Pulldown_BatchList_saihensyu"_s, u"選択項目の再編集"_s);
    Pulldown_BatchList->menuAction()->setVisible(false);

    Pulldown_ColumnTool = addMenu(u"Pulldown_ColumnTool"_s, u"カラムツール"_s);
    addItem(Pulldown_ColumnTool, u"Pulldown_ColumnTool_tuika"_s, u"カラム追加"_s);
    addItem(Pulldown_ColumnTool, u"Pulldown_ColumnTool_sakuzyo"_s, u"カラム削除"_s);
    Pulldown_ColumnTool->menuAction()->setVisible(false);

    Pulldown_list = addMenu(u"Pulldown_list"_s, u"ファイルリスト（&L）"_s);
    addItem(Pulldown_list, u"Pulldown_list_SelectDell"_s, u"選択部分削除(&D)"_s);
    addItem(Pulldown_list, u"Pulldown_list_AllDel"_s, u"すべて削除(&X)"_s);
    Pulldown_list->addSeparator()->setObjectName(u"Pulldown_list_list2"_s);
    addItem(Pulldown_list, u"Pulldown_list_mozi"_s, u"カラム内に挿入する文字列操作"_s);
    addItem(Pulldown_list, u"Pulldown_list_SubListTuika"_s, u"サブリストから追加"_s)->setVisible(false);
    Pulldown_list->addSeparator();
    addItem(Pulldown_list, u"Pulldown_list_preview"_s, u"コマンドラインのプレビュー(&P)"_s);

    Pulldown_kakuchosi = addMenu(u"Pulldown_kakuchosi"_s, u"フィルタ(&E)"_s);
    addItem(Pulldown_kakuchosi, u"Pulldown_kakuchosi_tuika"_s, u"追加(&N)"_s);
    addItem(Pulldown_kakuchosi, u"Pulldown_kakuchosi_del"_s, u"削除(&X)"_s);

    QMenu* help = addMenu(u"Pulldown_help"_s, u"ヘルプ(&H)"_s);
    addItem(help, u"Pulldown_help_Version"_s, u"バージョン情報(&V)"_s);
    addItem(help, u"Pulldown_help_help"_s, u"ヘルプ(&H)"_s);
}

QWidget* Form1::buildMainTab()
{
    auto* tab = new QWidget;
    const QString keyHint = u"パラメータ編集時にはダブルクリックでキー挿入"_s;

    ListView2 = makeListView(u"ListView2"_s, &m_table.apps, tab);
    ListView2->setToolTip(keyHint);
    ListView2->setAccessibleName(u"ListView2"_s);
    ListView3 = makeListView(u"ListView3"_s, &m_table.columns, tab);
    ListView3->setToolTip(keyHint);
    ListView4 = makeListView(u"ListView4"_s, &m_table.batch, tab);
    ListView4->setAccessibleName(u"ListView4"_s);
    ListView1 = new FileListView(tab);
    ListView1->setModel(&m_table.files);
    ListView1->setAccessibleName(u"ListView1"_s);

    auto bindRows = [this](QTreeView* view, TextRowList& list) {
        m_widthBinders.push_back(new ColumnWidthBinder(
            view->header(), [&list](int c) { return list.widths().value(c, 1440.0f); },
            [&list](int c, float w) { list.setWidth(c, w); }));
        m_widthBinders.back()->apply();
    };
    bindRows(ListView2, m_table.apps);
    bindRows(ListView4, m_table.batch);
    m_widthBinders.push_back(new ColumnWidthBinder(
        ListView3->header(), [this](int c) { return m_table.columns.listWidths().value(c, 1440.0f); },
        [this](int c, float w) { m_table.columns.setListWidth(c, w); }));
    m_widthBinders.back()->apply();
    auto* fileBinder = new ColumnWidthBinder(
        ListView1->header(),
        [this](int c) { return c < m_table.columns.count() ? m_table.columns.column(c).width : 1440.0f; },
        [this](int c, float w) { m_table.columns.setWidth(c, w); });
    fileBinder->bindPositions(
        [this](int c) { return c < m_table.columns.count() ? m_table.columns.column(c).position : c + 1; },
        [this](int c, int p) { m_table.columns.setPosition(c, p); });
    m_widthBinders.push_back(fileBinder);

    Label1 = named(new QLabel(tab), u"Label1"_s);
    Label1->setFrameShape(QFrame::Panel);
    Label1->setFrameShadow(QFrame::Sunken);
    Label1->setMinimumHeight(24);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Samples, keys and the log limit come from the user or a template file; a text starting with a tag
    // must not be taken as markup.
    Label1->setTextFormat(Qt::PlainText);
    Label9_0 = named(new QLabel(tab), u"Label9_0"_s);
    Label9_0->setTextFormat(Qt::PlainText);
    Label9_0->setFrameShape(QFrame::Panel);
    Label9_0->setFrameShadow(QFrame::Sunken);
    Label9_0->setMinimumWidth(70);
    Command5 = named(new QPushButton(u"↑パラメータをサンプルとして登録"_s, tab), u"Command5"_s);
    Command6 = named(new QPushButton(u"↓パラメータを編集"_s, tab), u"Command6"_s);
    Command1 = named(new QPushButton(u"●記述したパラメータをバッチリストに登録"_s, tab), u"Command1"_s);
    Command2 = named(new QPushButton(u"選択アプリを起動"_s, tab), u"Command2"_s);
    for (QPushButton* b : {Command1, Command5, Command6})
        b->setEnabled(false);
    Text1 = named(new QPlainTextEdit(tab), u"Text1"_s);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setMaximumHeight(80);

    auto* label4 = named(new QLabel(u"バッチリスト"_s, tab), u"Label4"_s);
    UpDown1Up = named(new QToolButton(tab), u"UpDown1_Up"_s);
    UpDown1Up->setArrowType(Qt::UpArrow);
    UpDown1Down = named(new QToolButton(tab), u"UpDown1_Down"_s);
    UpDown1Down->setArrowType(Qt::DownArrow);
    auto* upDown = named(new QWidget(tab), u"UpDown1"_s);
    auto* upDownLayout = new QVBoxLayout(upDown);
    upDownLayout->setContentsMargins(0, 0, 0, 0);
    upDownLayout->setSpacing(0);
    for (QToolButton* b : {UpDown1Up, UpDown1Down}) {
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        upDownLayout->addWidget(b);
    }

    // The filter panel.
    auto* picture1 = named(new QFrame(tab), u"Picture1"_s);
    picture1->setFrameShape(QFrame::StyledPanel);
    auto* filterLayout = new QVBoxLayout(picture1);
    filterLayout->addWidget(named(new QLabel(u"ﾌｨﾙﾀﾘﾝｸﾞ"_s, picture1), u"Label3"_s));
    auto* modeRow = new QHBoxLayout;
    Option1[0] = named(new QRadioButton(u"しない"_s, picture1), u"Option1_0"_s);
    Option1[1] = named(new QRadioButton(u"する"_s, picture1), u"Option1_1"_s);
    modeRow->addWidget(Option1[0]);
    modeRow->addWidget(Option1[1]);
    filterLayout->addLayout(modeRow);
    List1 = named(new QListView(picture1), u"List1"_s);
    List1->setModel(&m_table.filter);
    List1->setToolTip(u"フィルタリング拡張子をチェックしてください"_s);
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    filterLayout->addWidget(List1, 1);
    for (int i = 0; i < 2; ++i)
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] {
            OptionGroup mode;
            mode.select(i);
            m_table.filter.setMode(mode);
            Option1_Click();
        });

    // The inner tab with the file list. Its caption is cleared at start-up.
    SSTab2 = named(new QTabWidget(tab), u"SSTab2"_s);
    auto* picture2 = named(new QWidget(SSTab2), u"Picture2"_s);
    auto* p2 = new QVBoxLayout(picture2);
    p2->setContentsMargins(0, 0, 0, 0);
    p2->addWidget(ListView1);
    SSTab2->addTab(picture2, u"サブリスト"_s);

    // Layout: applications and the editor on the left, the keys and the filter on the right, the batch list
    // below them, and the file list across the bottom.
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(ListView2, 2);
    left->addWidget(Label1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label9_0);
    buttons->addWidget(Command5);
    buttons->addWidget(Command6);
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    left->addLayout(buttons);
    left->addWidget(Text1);
    left->addWidget(Command1);
    auto* right = new QVBoxLayout;
    right->addWidget(ListView3, 3);
    right->addWidget(picture1, 2);
    top->addLayout(left, 3);
    top->addLayout(right, 2);

    auto* batchRow = new QHBoxLayout;
    batchRow->addWidget(ListView4, 1);
    batchRow->addWidget(upDown);

    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(top, 3);
    layout->addWidget(label4);
    layout->addLayout(batchRow, 1);
    layout->addWidget(SSTab2, 3);
    return tab;
}

QWidget* Form1::buildLogTab()
{
    auto* tab = new QWidget;
    Text2 = named(new QPlainTextEdit(tab), u"Text2"_s);
    Text2->setReadOnly(true);
    Text2->setAccessibleName(u"Text2"_s);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Every entry of a run is inserted at the top; an undo history would keep a second copy of each.
    Text2->setUndoRedoEnabled(false);
    Command3 = named(new QPushButton(u"ログファイルを削除"_s, tab), u"Command3"_s);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(Text2, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(Command3);
    layout->addLayout(row);
    return tab;
}

// A group box on the settings tab holding one check box that sets a 0/1 field of the settings.
QCheckBox* Form1::addSettingBox(QVBoxLayout* layout, const QString& title, const QString& caption,
                                const QString& name, int WorkSettings::*setting)
{
    auto* box = new QGroupBox(title);
    auto* check = named(new QCheckBox(caption, box), name);
    (new QVBoxLayout(box))->addWidget(check);
    layout->addWidget(box);
    connect(check, &QCheckBox::clicked, this,
            [this, setting](bool on) { m_table.settings.*setting = on ? 1 : 0; });
    return check;
}

QWidget* Form1::buildSettingsTab()
{
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);

    auto* after = new QGroupBox(tab);
    auto* afterLayout = new QVBoxLayout(after);
    Check2 = named(new QCheckBox(u"作業完了後は…"_s, after), u"Check2"_s);
    Option2[0] = named(new QRadioButton(u"マシンをシャットダウンする"_s, after), u"Option2_0"_s);
    Option2[1] = named(new QRadioButton(u"「Lomvato」のみ終了する"_s, after), u"Option2_1"_s);
    afterLayout->addWidget(Check2);
    afterLayout->addWidget(Option2[0]);
    afterLayout->addWidget(Option2[1]);
    layout->addWidget(after);
    connect(Check2, &QCheckBox::clicked, this, [this](bool on) {
        m_table.settings.check2 = on ? 1 : 0;
        Check2_Click();
    });
    for (int i = 0; i < 2; ++i)
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { m_table.settings.option2.select(i); });

    Check1 = addSettingBox(layout, u"ファイルリスト追加時は…"_s, u"ファイルリストのドロップは常に追加"_s,
                           u"Check1"_s, &WorkSettings::check1);
    Check3 = addSettingBox(layout, u"送り先アプリは…"_s, u"最小化して起動する"_s, u"Check3"_s,
                           &WorkSettings::check3);

    auto* logSize = new QGroupBox(u"読込時ログサイズ"_s, tab);
    auto* logLayout = new QVBoxLayout(logSize);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(named(new QLabel(u"ログの限界容量は"_s, logSize), u"Label2"_s));
    Label6 = named(new QLabel(u"32"_s, logSize), u"Label6"_s);
    Label6->setTextFormat(Qt::PlainText);
    limitRow->addWidget(Label6);
    limitRow->addWidget(named(new QLabel(u"KBまでとする"_s, logSize), u"Label5"_s));
    limitRow->addStretch(1);
    logLayout->addLayout(limitRow);
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(named(new QLabel(u"1"_s, logSize), u"Label7"_s));
    Slider1 = named(new QSlider(Qt::Horizontal, logSize), u"Slider1"_s);
    Slider1->setRange(1, 32);
    Slider1->setValue(32);
    Slider1->setTickPosition(QSlider::TicksBelow);
    sliderRow->addWidget(Slider1, 1);
    sliderRow->addWidget(named(new QLabel(u"32"_s, logSize), u"Label8_end"_s));
    logLayout->addLayout(sliderRow);
    layout->addWidget(logSize);
    layout->addStretch(1);
    return tab;
}

void Form1::showSettings()
{
    const WorkSettings& s = m_table.settings;
    Check1->setChecked(s.check1 == 1);
    Check2->setChecked(s.check2 == 1);
    Check3->setChecked(s.check3 == 1);
    for (int i = 0; i < 2; ++i) {
        // A pair with neither selected shows both cleared, which needs the group's exclusivity off.
        Option2[i]->setAutoExclusive(false);
        Option2[i]->setChecked(s.option2.isSelected(i));
        Option2[i]->setAutoExclusive(true);
        Option2[i]->setEnabled(s.option2Enabled);
        Option1[i]->setAutoExclusive(false);
        Option1[i]->setChecked(m_table.filter.mode().isSelected(i));
        Option1[i]->setAutoExclusive(true);
    }
    List1->setEnabled(m_table.filter.listEnabled());
    Label6->setText(s.label6);
    const QSignalBlocker block(Slider1);
    Slider1->setValue(s.slider1);
}

void Form1::showLogText()
{
    Text2->setPlainText(displayText(m_table.log.text().left(qsizetype{2} * shownLogLimit)));
    trimShownLog();
}

// Cuts the shown text back to the limit once it has grown past it by a sixteenth, so that not every entry of
// a long run cuts.
void Form1::trimShownLog()
{
    QTextDocument* document = Text2->document();
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
    SSTab2->setTabText(0, QString());
    SSTab2->setFixedHeight(Twips::toPixels(2600.0f, logicalDpiY()));
    Text1->setEnabled(false);
    SSTab1->setCurrentIndex(0);
    show();
    repaint();
    m_store.ensureStartupTemplate(m_services.executableFolder);
    if (m_store.loadAtStart() == TemplateFile::Outcome::GaveUp)
        return false;
    applyWidths();
    if (m_table.filter.mode().isSelected(0))
        List1->setEnabled(false);
    m_table.log.prepend(ActivityLog::timed(m_services.clock.now(), u"Lomvato起動開始"_s, 1));
    m_table.log.prependSeparator();
    return true;
}

void Form1::Form_QueryUnload()
{
    SSTab1->setCurrentIndex(0);
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
        ::_exit(0);
    }
    if (!m_closing) {
        m_closing = true;
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
    m_table.settings.option2Enabled = m_table.settings.check2 == 1;
    for (QRadioButton* b : Option2)
        b->setEnabled(m_table.settings.option2Enabled);
}

void Form1::Option1_Click()
{
    m_table.filter.applyModeToList();
}

void Form1::Pulldown_file_table_save_Click()
{
    m_store.templateFile().saveAs();
}

void Form1::Pulldown_file_table_open_Click()
{
    m_store.templateFile().open();
    applyWidths();
}

void Form1::Slider1_Change(int value)
{
    m_store.logFile().setLimit(value);
}

void Form1::Command3_Click()
{
    m_store.logFile().clear();
}

void Form1::ListView1_OLEDragDrop(const QStringList& paths, int modifiers)
{
    m_fileCommands.takeDroppedFiles(paths, modifiers);
}

void Form1::ListView1_ColumnClick(int header)
{
    m_fileCommands.sortByHeader(header);
}

std::vector<int> Form1::selectedFileRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : ListView1->selectionModel()->selectedRows())
        rows.push_back(i.row());
    return rows;
}

void Form1::Pulldown_list_SelectDell_Click()
{
    m_fileCommands.removeRows(selectedFileRows());
}

void Form1::Pulldown_list_AllDel_Click()
{
    m_fileCommands.removeAllRows();
}

void Form1::Pulldown_list_mozi_Click()
{
    if (!m_fileCommands.mayOpenColumnFill())
        return;
    Form3 dialog(m_table.columns, m_table.files, selectedFileRows(), m_services.dialogs, this);
    dialog.exec();
}

void Form1::Pulldown_kakuchosi_tuika_Click()
{
    m_fileCommands.addExtension();
}

void Form1::Pulldown_kakuchosi_del_Click()
{
    const QModelIndex current = List1->currentIndex();
    m_fileCommands.removeExtension(current.isValid() ? current.row() : -1);
}

void Form1::Pulldown_ColumnTool_tuika_Click()
{
    m_fileCommands.addColumn();
}

void Form1::Pulldown_ColumnTool_sakuzyo_Click()
{
    m_fileCommands.removeColumn(selectedRow(ListView3));
}

void Form1::Pulldown_help_help_Click()
{
    m_help.openHelp();
}

void Form1::Pulldown_help_Version_Click()
{
    frmAbout dialog(m_services.registry, m_services.files, m_services.launcher, m_services.dialogs, this);
    dialog.exec();
}

void Form1::runCompletionAction()
{
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
    Label1->setText(m_editor.label1());
    Label9_0->setText(m_editor.label9(ParameterEditor::Key));
    if (Text1->toPlainText() != m_editor.text1()) {
        const QSignalBlocker block(Text1);
        Text1->setPlainText(m_editor.text1());
    }
    Text1->setEnabled(m_editor.isTextOpen());
    Command1->setEnabled(m_editor.isEditing());
    Command5->setEnabled(m_editor.isEditing());
    Command6->setEnabled(m_editor.canEditSample());
}

void Form1::Pulldown_appli_tuika_Click()
{
    m_appCommands.addApplication();
}

void Form1::Pulldown_appli_sakuzyo_Click()
{
    m_appCommands.removeApplication(selectedRow(ListView2));
}

void Form1::Pulldown_appli_henkou_Click()
{
    m_appCommands.changeApplication(selectedRow(ListView2));
}

void Form1::Command2_Click()
{
    m_appCommands.startApplication(selectedRow(ListView2));
}

void Form1::ListView2_Click()
{
    m_editor.selectApplication(selectedRow(ListView2));
}

// Puts the caret behind an inserted key and gives the text box the focus.
void Form1::insertKey(int caret)
{
    if (caret < 0)
        return;
    QTextCursor cursor = Text1->textCursor();
    cursor.setPosition(caret);
    Text1->setTextCursor(cursor);
    Text1->setFocus();
}

void Form1::ListView2_DblClick()
{
    const QTextCursor cursor = Text1->textCursor();
    insertKey(m_editor.insertApplicationKey(selectedRow(ListView2), cursor.selectionStart(),
                                            cursor.selectionEnd() - cursor.selectionStart()));
}

void Form1::ListView3_DblClick()
{
    const QTextCursor cursor = Text1->textCursor();
    insertKey(m_editor.insertColumnKey(selectedRow(ListView3), cursor.selectionStart(),
                                       cursor.selectionEnd() - cursor.selectionStart()));
}

void Form1::Command1_Click()
{
    m_editor.addToBatch();
}

void Form1::Command5_Click()
{
    m_editor.storeAsSample(selectedRow(ListView2));
}

void Form1::Command6_Click()
{
    m_editor.editSample();
}

void Form1::Pulldown_BatchList_sakuzyo_Click()
{
    m_batchCommands.removeEntry(selectedRow(ListView4));
}

void Form1::Pulldown_BatchList_Clear_Click()
{
    m_batchCommands.clear();
}

void Form1::Pulldown_BatchList_saihensyu_Click()
{
    m_batchCommands.reedit(selectedRow(ListView4));
}

void Form1::UpDown1_UpClick()
{
    selectRow(ListView4, m_batchCommands.moveUp(selectedRow(ListView4)));
}

void Form1::UpDown1_DownClick()
{
    selectRow(ListView4, m_batchCommands.moveDown(selectedRow(ListView4)));
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
