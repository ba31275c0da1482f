#include "RunResults.h"

#include "CsvText.h"
#include "JobPreview.h"

using namespace Qt::StringLiterals;

RunResults::RunResults(QObject* parent) : QAbstractTableModel(parent) {}

RunResults::Job RunResults::Job::again() const
{
    Job job;
    job.number = number;
    job.host = host;
    job.entry = entry;
    job.row = row;
    job.key = key;
    job.app = app;
    job.file = file;
    job.path = path;
    job.commandLine = commandLine;
    job.knownPrograms = knownPrograms;
    job.arguments = arguments;
    return job;
}

void RunResults::clear()
{
    replace({}, false);
}

void RunResults::show(const QList<Job>& jobs)
{
    replace(jobs, true);
}

void RunResults::replace(const QList<Job>& jobs, bool past)
{
    beginResetModel();
    m_jobs = jobs;
    m_past = past;
    ++m_generation;
    endResetModel();
}

int RunResults::add(const Job& job)
{
    const int index = count();
    beginInsertRows({}, index, index);
    m_jobs.append(job);
    endInsertRows();
    emit jobAdded(index);
    return index;
}

void RunResults::finish(int index, State state, int code, qint64 ms, const QString& signalName)
{
    if (index < 0 || index >= count())
        return;
    setEnd(index, state, code, ms, signalName);
    emit jobFinished(index);
}

void RunResults::setEnd(int index, State state, int code, qint64 ms, const QString& signalName)
{
    Job& j = m_jobs[index];
    j.state = state;
    j.code = code;
    j.signalName = signalName;
    j.ms = ms;
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void RunResults::setFailure(int index, const QString& failure)
{
    if (index >= 0 && index < count())
        m_jobs[index].failure = failure;
}

void RunResults::appendOutput(int index, Stream stream, QByteArrayView bytes)
{
    if (index < 0 || index >= count() || bytes.isEmpty())
        return;
    Job& j = m_jobs[index];
    (stream == Stream::Output ? j.output : j.errors).append(bytes);
    emit outputChanged(index);
}

void RunResults::abandonRunning()
{
    for (int i = 0; i < count(); ++i)
        if (m_jobs[i].state == State::Running)
            setEnd(i, State::Abandoned, 0, -1, {});
}

bool RunResults::failed(const Job& job)
{
    return job.state == State::StartFailed || job.state == State::Signalled ||
           (job.state == State::Exited && job.code != 0);
}

bool RunResults::anyHost() const
{
    return std::any_of(m_jobs.cbegin(), m_jobs.cend(), [](const Job& job) { return !job.host.isEmpty(); });
}

QList<RunResults::Job> RunResults::failedJobs() const
{
    QList<Job> jobs;
    for (const Job& j : m_jobs)
        if (failed(j))
            jobs.append(j);
    return jobs;
}

QString RunResults::summary() const
{
    int done = 0;
    int failures = 0;
    int abandoned = 0;
    int interrupted = 0;
    for (const Job& j : m_jobs) {
        if (failed(j))
            ++failures;
        else if (j.state == State::Abandoned)
            ++abandoned;
        else if (j.state == State::Interrupted)
            ++interrupted;
        else if (j.state != State::Running)
            ++done;
    }
    QString text = u"完了 %1 件 / 失敗 %2 件"_s.arg(done).arg(failures);
    if (abandoned > 0)
        text += u" / 放置 %1 件"_s.arg(abandoned);
    if (interrupted > 0)
        text += u" / 中断 %1 件"_s.arg(interrupted);
    return text;
}

QString RunResults::outcomeText(const Job& job)
{
    switch (job.state) {
    case State::Running:
        return u"実行中"_s;
    case State::Exited:
        return job.code == 0 ? u"正常終了"_s : u"エラー終了 (コード %1)"_s.arg(job.code);
    case State::Signalled:
        return u"シグナル %1 (SIG%2) で終了"_s.arg(job.code).arg(job.signalName.isEmpty() ? u"?"_s
                                                                                          : job.signalName);
    case State::StartFailed:
        return u"起動失敗"_s;
    case State::Abandoned:
        return u"放置"_s;
    case State::Interrupted:
        return u"中断"_s;
    case State::Ended:
        break;
    }
    return u"終了 (状態不明)"_s;
}

namespace
{
QString streamText(const QString& title, const CapturedStream& stream)
{
    QString text = u"── "_s + title + u" ("_s + QString::number(stream.total()) + u" バイト) ──\n"_s;
    text += CapturedStream::display(stream.head());
    if (stream.omitted() > 0)
        text += u"\n… "_s + QString::number(stream.omitted()) + u" バイト省略 …\n"_s;
    text += CapturedStream::display(stream.tail());
    if (!text.endsWith(u'\n'))
        text += u'\n';
    return text;
}
} // namespace

QString RunResults::details(int index) const
{
    const Job& j = m_jobs[index];
    QString text = u"送信内容: "_s + j.commandLine + u"\n引数: "_s + JobPreview::bounded(j.arguments) + u'\n';
    if (!j.failure.isEmpty())
        text += u"起動できませんでした: "_s + j.failure + u'\n';
    text += u'\n' + streamText(u"標準出力"_s, j.output) + u'\n' + streamText(u"標準エラー出力"_s, j.errors);
    return text;
}

QString RunResults::text(const Job& job, int column, int number) const
{
    switch (column) {
    case Number:
        return QString::number(job.number > 0 ? job.number : number);
    case Entry:
        return job.key + u' ' + job.app;
    case File:
        return job.file;
    case Path:
        return job.path;
    case Start:
        return job.start.toString(u"yyyy/MM/dd HH:mm:ss"_s);
    case Duration:
        return job.ms < 0 ? QString() : QString::number(static_cast<double>(job.ms) / 1000.0, 'f', 3);
    case Outcome:
        return outcomeText(job);
    case Host:
        return job.host;
    default:
        return {};
    }
}

QByteArray RunResults::toCsv() const
{
    const int columns = anyHost() ? ColumnCount : Host;
    QStringList header;
    for (int c = 0; c < columns; ++c)
        header << headerData(c, Qt::Horizontal).toString();
    QString csv = CsvText::line(header);
    for (int i = 0; i < count(); ++i) {
        QStringList fields;
        for (int c = 0; c < columns; ++c)
            fields << text(m_jobs[i], c, i + 1);
        csv += CsvText::line(fields);
    }
    return "\xEF\xBB\xBF" + csv.toUtf8();
}

int RunResults::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int RunResults::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RunResults::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Job& j = m_jobs[index.row()];
    if (role == Qt::DisplayRole)
        return text(j, index.column(), index.row() + 1);
    if (role == FailedRole)
        return failed(j);
    if (role == Qt::TextAlignmentRole && (index.column() == Number || index.column() == Duration))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant RunResults::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles{u"番号"_s,     u"バッチ"_s,        u"<c2>"_s, u"<c5>"_s,
                                    u"開始時刻"_s, u"所要時間 (秒)"_s, u"結果"_s, u"ホスト"_s};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return titles[section];
}
