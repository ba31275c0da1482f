#include "ResultsTab.h"

#include "platform/Dialogs.h"
#include "platform/RegularFile.h"
#include "run/RunEngine.h"
#include "store/StoreError.h"

#include <QBrush>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
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
      m_failedOnly(new QCheckBox(u"失敗したジョブだけを表示"_s, this)), m_view(new QTableView(this))
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
    layout->addWidget(m_view, 1);

    connect(m_failedOnly, &QCheckBox::toggled, this, [this](bool only) { m_proxy->setFailedOnly(only); });
    connect(rerun, &QPushButton::clicked, this, &ResultsTab::rerunFailed);
    connect(save, &QPushButton::clicked, this, &ResultsTab::saveCsv);
    const auto idle = [rerun](bool, bool running) { rerun->setEnabled(!running); };
    connect(&engine, &RunEngine::buttonsChanged, this, idle);
}

void ResultsTab::rerunFailed()
{
    m_engine.runJobs(m_engine.results().failedJobs());
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
