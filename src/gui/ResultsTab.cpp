#include "ResultsTab.h"

#include "platform/Dialogs.h"
#include "platform/RegularFile.h"
#include "run/RunEngine.h"
#include "store/StoreError.h"

#include <QBrush>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
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

ResultsTab::ResultsTab(RunEngine& engine, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_dialogs(dialogs), m_proxy(new FailedFirstProxy(this)),
      m_failedOnly(new QCheckBox(u"失敗したジョブだけを表示"_s, this)), m_view(new QTableView(this)),
      m_details(new QPlainTextEdit(this)), m_refresh(new QTimer(this))
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
    m_details->setObjectName(u"JobOutput"_s);
    m_details->setAccessibleName(u"選択したジョブの出力"_s);
    m_details->setReadOnly(true);
    m_details->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_details->setPlaceholderText(u"ジョブを選ぶと、実行した内容と出力がここに表示されます"_s);

    auto* rerun = new QPushButton(u"失敗したジョブを再実行"_s, this);
    rerun->setObjectName(u"RerunFailed"_s);
    auto* save = new QPushButton(u"CSVで保存…"_s, this);
    save->setObjectName(u"SaveCsv"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_failedOnly);
    buttons->addStretch(1);
    buttons->addWidget(rerun);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_view);
    split->addWidget(m_details);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    connect(m_failedOnly, &QCheckBox::toggled, this, [this](bool only) { m_proxy->setFailedOnly(only); });
    connect(rerun, &QPushButton::clicked, this, &ResultsTab::rerunFailed);
    connect(save, &QPushButton::clicked, this, &ResultsTab::saveCsv);
    const auto idle = [rerun](bool, bool running) { rerun->setEnabled(!running); };
    connect(&engine, &RunEngine::buttonsChanged, this, idle);
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

void ResultsTab::saveCsv()
{
    const QString path = m_dialogs.saveFile(QString(), u"CSV ファイル (*.csv);;すべてのファイル (*)"_s);
    if (path.isEmpty())
        return;
    QString why;
    if (!RegularFile::replace(path, m_engine.results().toCsv(), &why))
        m_dialogs.message(StoreError{StoreError::CannotWrite, why}.notSaved(path), applicationTitle());
}
