#include "ResultsTab.h"

#include "platform/Dialogs.h"
#include "platform/RegularFile.h"
#include "run/JobFile.h"
#include "run/JobLog.h"
#include "run/RunEngine.h"
#include "run/RunJournal.h"
#include "store/StoreError.h"

#include <QBrush>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// Shows the failed jobs in red, and only them when asked.
class FailedFirstProxy : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setFailedOnly(bool only)
    {
        m_failedOnly = only;
        invalidateFilter();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::ForegroundRole && index.data(RunResults::FailedRole).toBool())
            return QBrush(Qt::red);
        return QSortFilterProxyModel::data(index, role);
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        return !m_failedOnly || sourceModel()->index(row, 0, parent).data(RunResults::FailedRole).toBool();
    }

private:
    bool m_failedOnly = false;
};

ResultsTab::ResultsTab(RunEngine& engine, RunJournal& journal, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_journal(journal), m_dialogs(dialogs),
      m_proxy(new FailedFirstProxy(this)), m_failedOnly(new QCheckBox(u"失敗したジョブだけを表示"_s, this)),
      m_shown(new QLabel(this)), m_rerun(new QPushButton(u"失敗したジョブを再実行"_s, this)),
      m_resume(new QPushButton(u"続きから実行"_s, this)),
      m_exportFailed(new QPushButton(u"失敗したジョブを書き出し…"_s, this)), m_runMenu(new QMenu(this)),
      m_view(new QTableView(this)), m_details(new QPlainTextEdit(this)), m_refresh(new QTimer(this))
{
    setObjectName(u"ResultsTab"_s);
    m_proxy->setSourceModel(&engine.results());
    // Failures are counted as rows change, so the filter follows them.
    m_proxy->setDynamicSortFilter(true);
    m_view->setObjectName(u"ResultsView"_s);
    m_view->setModel(m_proxy);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_failedOnly->setObjectName(u"FailedOnly"_s);
    m_shown->setObjectName(u"ShownRun"_s);
    m_shown->setTextFormat(Qt::PlainText);
    m_details->setObjectName(u"JobOutput"_s);
    m_details->setAccessibleName(u"選択したジョブの出力"_s);
    m_details->setReadOnly(true);
    m_details->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_details->setPlaceholderText(u"ジョブを選ぶと、実行した内容と出力がここに表示されます"_s);

    m_rerun->setObjectName(u"RerunFailed"_s);
    m_resume->setObjectName(u"Resume"_s);
    m_resume->setToolTip(u"正常終了しなかったジョブと、まだ実行していないジョブを実行します"_s);
    m_exportFailed->setObjectName(u"ExportFailed"_s);
    auto* runs = new QPushButton(u"実行の一覧"_s, this);
    runs->setObjectName(u"Runs"_s);
    runs->setMenu(m_runMenu);
    auto* jobLog = new QPushButton(u"ジョブログを読み込む…"_s, this);
    jobLog->setObjectName(u"LoadJobLog"_s);
    auto* save = new QPushButton(u"CSVで保存…"_s, this);
    save->setObjectName(u"SaveCsv"_s);
    auto* top = new QHBoxLayout;
    top->addWidget(m_shown, 1);
    top->addWidget(runs);
    top->addWidget(jobLog);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_failedOnly);
    buttons->addStretch(1);
    buttons->addWidget(m_resume);
    buttons->addWidget(m_rerun);
    buttons->addWidget(m_exportFailed);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_view);
    split->addWidget(m_details);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    connect(m_failedOnly, &QCheckBox::toggled, this, [this](bool only) { m_proxy->setFailedOnly(only); });
    connect(m_rerun, &QPushButton::clicked, this, &ResultsTab::rerunFailed);
    connect(m_resume, &QPushButton::clicked, this, &ResultsTab::resume);
    connect(m_exportFailed, &QPushButton::clicked, this, [this] {
        const QString path = m_dialogs.saveFile(QString(), u"ジョブファイル (*.sh);;すべてのファイル (*)"_s);
        if (!path.isEmpty())
            exportFailed(path);
    });
    connect(jobLog, &QPushButton::clicked, this, [this] {
        const QString path =
            m_dialogs.openFile(QString(), u"ジョブログ (*.log *.txt);;すべてのファイル (*)"_s);
        if (!path.isEmpty())
            loadJobLog(path);
    });
    connect(save, &QPushButton::clicked, this, &ResultsTab::saveCsv);
    connect(m_runMenu, &QMenu::aboutToShow, this, &ResultsTab::fillRunMenu);
    connect(&engine, &RunEngine::buttonsChanged, this, &ResultsTab::updateButtons);
    connect(&journal, &RunJournal::runBegun, this, [this](const QString& folder) {
        m_shownFolder = folder;
        m_shown->setText(u"今回の実行"_s);
    });
    connect(&journal, &RunJournal::failed, this,
            [this](const QString& why) { m_shown->setText(u"今回の実行　"_s + why); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ResultsTab::showSelectedJob);
    // A running job's output shows as it grows, a few times a second at most.
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(250);
    connect(m_refresh, &QTimer::timeout, this, &ResultsTab::showSelectedJob);
    const auto refresh = [this](int first, int last) {
        const int row = m_proxy->mapToSource(m_view->currentIndex()).row();
        if (row >= first && row <= last && !m_refresh->isActive())
            m_refresh->start();
    };
    connect(&engine.results(), &RunResults::outputChanged, this,
            [refresh](int index) { refresh(index, index); });
    connect(&engine.results(), &QAbstractItemModel::dataChanged, this,
            [refresh](const QModelIndex& from, const QModelIndex& to) { refresh(from.row(), to.row()); });
    connect(&engine.results(), &QAbstractItemModel::modelReset, this, &ResultsTab::showSelectedJob);
    connect(&engine.results(), &QAbstractItemModel::modelReset, this, &ResultsTab::updateButtons);
    updateButtons();
}

void ResultsTab::updateButtons()
{
    m_view->setColumnHidden(RunResults::Host, !m_engine.results().anyHost());
    // Only between runs: a run changes what there is to run again.
    const bool idle = !m_engine.isRunning();
    const RunResults& results = m_engine.results();
    bool anyFailed = false;
    for (int i = 0; i < results.count() && !anyFailed && idle; ++i)
        anyFailed = RunResults::failed(results.job(i));
    m_rerun->setEnabled(anyFailed);
    m_exportFailed->setEnabled(anyFailed);
    m_resume->setEnabled(idle && (results.count() > 0 || !m_shownFolder.isEmpty()));
}

void ResultsTab::fillRunMenu()
{
    m_runMenu->clear();
    const QStringList folders = RunJournal::runFolders(m_journal.folder());
    if (folders.isEmpty())
        m_runMenu->addAction(u"残っている実行はありません"_s)->setEnabled(false);
    for (const QString& runFolder : folders) {
        // The run being written still changes; the others are read once.
        RunJournal::Run run = m_runs.value(runFolder);
        if (run.folder.isEmpty()) {
            run = RunJournal::run(runFolder);
            if (runFolder != m_journal.runFolder())
                m_runs.insert(runFolder, run);
        }
        QString text = run.start.toString(u"yyyy/MM/dd HH:mm:ss"_s) +
                       u"　%1 件 / 失敗 %2 件"_s.arg(run.jobs).arg(run.failed);
        if (run.interrupted > 0)
            text += u" / 中断 %1 件"_s.arg(run.interrupted);
        const QString folder = run.folder;
        connect(m_runMenu->addAction(text), &QAction::triggered, this, [this, folder] { showRun(folder); });
    }
    m_runMenu->setEnabled(!m_engine.isRunning());
}

void ResultsTab::showLastRun()
{
    // A run of this session is the one to show.
    if (m_engine.isRunning() || m_engine.results().count() > 0)
        return;
    const QStringList folders = RunJournal::runFolders(m_journal.folder());
    if (!folders.isEmpty())
        showRun(folders.front());
}

void ResultsTab::showRun(const QString& runFolder)
{
    if (m_engine.isRunning())
        return;
    m_engine.results().show(RunJournal::load(runFolder));
    m_shownFolder = runFolder;
    m_shown->setText(RunJournal::startOf(runFolder).toString(u"yyyy/MM/dd HH:mm:ss"_s) + u" の実行　"_s +
                     m_engine.results().summary());
    updateButtons();
}

void ResultsTab::loadJobLog(const QString& path)
{
    if (m_engine.isRunning())
        return;
    QString why;
    const QList<RunResults::Job> jobs = JobLog::read(path, &why);
    if (!why.isEmpty()) {
        m_dialogs.message(QDir::toNativeSeparators(path) + u" を読めません: "_s + why, applicationTitle());
        return;
    }
    m_engine.results().show(jobs);
    m_shownFolder.clear();
    m_shown->setText(u"ジョブログ "_s + QDir::toNativeSeparators(path) + u"　"_s +
                     m_engine.results().summary());
    updateButtons();
}

void ResultsTab::showSelectedJob()
{
    const int row = m_proxy->mapToSource(m_view->currentIndex()).row();
    const RunResults& results = m_engine.results();
    m_details->setPlainText(row < 0 || row >= results.count() ? QString() : results.details(row));
}

void ResultsTab::rerunFailed()
{
    m_engine.runAgain(m_engine.results().failedJobs());
}

void ResultsTab::resume()
{
    const QList<RunResults::Job> rest = RunJournal::rest(m_engine.results(), m_shownFolder);
    if (rest.isEmpty())
        m_dialogs.message(u"続きから実行するジョブはありません。どのジョブも正常終了しています"_s,
                          applicationTitle());
    else
        m_engine.runAgain(rest);
}

void ResultsTab::exportFailed(const QString& path)
{
    QList<QStringList> jobs;
    for (const RunResults::Job& job : m_engine.results().failedJobs())
        jobs << job.arguments;
    QString why;
    if (!RegularFile::replace(path, JobFile::text(jobs), &why))
        m_dialogs.message(StoreError{StoreError::CannotWrite, why}.notSaved(path), applicationTitle());
}

void ResultsTab::saveCsv()
{
    const QString path = m_dialogs.saveFile(QString(), u"CSV ファイル (*.csv);;すべてのファイル (*)"_s);
    if (path.isEmpty())
        return;
    QString why;
    if (!RegularFile::replace(path, m_engine.results().toCsv(), &why))
        m_dialogs.message(StoreError{StoreError::CannotWrite, why}.notSaved(path), applicationTitle());
}
