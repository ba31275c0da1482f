#include "JobPreview.h"

#include "Expansion.h"
#include "JobOrder.h"
#include "core/WorkTable.h"
#include "platform/ProcessLauncher.h"

using namespace Qt::StringLiterals;

JobPreview::JobPreview(const WorkTable& table, const ProcessLauncher& launcher, const FileSystem& files,
                       QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_launcher(launcher), m_files(files)
{
    // Any edit of a list that goes into a job changes the jobs; they are computed again on demand.
    for (const QAbstractItemModel* list : {static_cast<const QAbstractItemModel*>(&table.files),
                                           static_cast<const QAbstractItemModel*>(&table.batch),
                                           static_cast<const QAbstractItemModel*>(&table.apps),
                                           static_cast<const QAbstractItemModel*>(&table.columns)}) {
        connect(list, &QAbstractItemModel::rowsInserted, this, &JobPreview::invalidate);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &JobPreview::invalidate);
        connect(list, &QAbstractItemModel::rowsMoved, this, &JobPreview::invalidate);
        connect(list, &QAbstractItemModel::modelReset, this, &JobPreview::invalidate);
        connect(list, &QAbstractItemModel::layoutChanged, this, &JobPreview::invalidate);
        connect(list, &QAbstractItemModel::dataChanged, this, &JobPreview::invalidate);
    }
}

int JobPreview::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    // A view cannot hold more rows than an int counts.
    const qint64 jobs = JobOrder::count(m_table.batch.count(), m_table.files.count());
    return int(qMin<qint64>(jobs, std::numeric_limits<int>::max()));
}

int JobPreview::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int JobPreview::entryOf(int job) const
{
    return JobOrder::at(job, m_table.files.count()).entry;
}

int JobPreview::fileRowOf(int job) const
{
    return JobOrder::at(job, m_table.files.count()).row;
}

const JobPreview::Job& JobPreview::job(int number) const
{
    if (m_last.number != number) {
        m_last.commandLine =
            expandCommandLine(m_table.batch.parameter(entryOf(number)), m_table.files.row(fileRowOf(number)),
                              m_table.columns.count(), m_table.apps);
        m_last.arguments = m_launcher.arguments(m_last.commandLine, RegisteredPrograms(m_table.apps));
        m_last.number = number;
    }
    return m_last;
}

QString JobPreview::commandLine(int job) const
{
    return this->job(job).commandLine;
}

QStringList JobPreview::arguments(int job) const
{
    return this->job(job).arguments;
}

QString JobPreview::bounded(const QStringList& arguments)
{
    QString text;
    for (const QString& a : arguments) {
        if (!text.isEmpty())
            text += u' ';
        text += u"‹"_s + a + u"›"_s;
    }
    return text;
}

QVariant JobPreview::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int number = index.row();
    if (role == ArgumentsRole)
        return job(number).arguments;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Number:
        return number + 1;
    case Entry: {
        const int entry = entryOf(number);
        return QString(m_table.batch.key(entry) + u' ' + m_table.batch.application(entry));
    }
    case File:
        return m_table.files.cell(fileRowOf(number), ColumnSet::fileNameColumn);
    case CommandLine:
        return job(number).commandLine;
    case Arguments:
        return bounded(job(number).arguments);
    default:
        return {};
    }
}

QVariant JobPreview::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles{u"ジョブ"_s, u"バッチ"_s, u"ファイル"_s, u"コマンドライン"_s, u"引数"_s};
    return titles.value(section);
}

QString JobPreview::problems() const
{
    return appKeyProblems(m_table.batch, m_table.apps, m_files);
}

void JobPreview::invalidate()
{
    beginResetModel();
    m_last = Job();
    endResetModel();
}
