#include "JobFile.h"

#include "JobPreview.h"
#include "platform/NativeName.h"
#include "platform/RegularFile.h"

#include <QElapsedTimer>
#include <QThread>

using namespace Qt::StringLiterals;

namespace
{
// Characters that mean nothing to the shell anywhere in an argument.
bool plain(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("_@%+=:,./-").contains(c);
}

constexpr QByteArrayView newlinePrefix = "nl=$(printf '\\n.'); nl=${nl%.}; ";
// How long one slice of the export may keep the event loop; the window's repaint and input come between.
constexpr qint64 sliceTime = 10; // ms
// The most jobs named in the message about GNU parallel.
constexpr int namedJobs = 20;
} // namespace

QByteArray JobFile::quote(QByteArrayView word, bool program)
{
    if (!program && !word.isEmpty() && std::all_of(word.begin(), word.end(), plain))
        return word.toByteArray();
    QByteArray quoted("'");
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else if (c == '\n')
            quoted += "'\"$nl\"'";
        else
            quoted += c;
    }
    return quoted + '\'';
}

QByteArray JobFile::line(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return "false";
    QByteArray text;
    bool breaks = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray bytes = NativeName::encode(arguments[i]);
        breaks = breaks || bytes.contains('\n');
        if (i > 0)
            text += ' ';
        text += quote(bytes, i == 0);
    }
    if (arguments.front().startsWith(u'%'))
        text = "(exec " + text + ')';
    return breaks ? newlinePrefix.toByteArray() + text : text;
}

namespace
{
// One word of a line as quote() writes it, from `at`, which it moves past the word; nothing when the text
// there is not such a word.
std::optional<QByteArray> unquoted(QByteArrayView text, qsizetype& at)
{
    QByteArray word;
    if (at < text.size() && text[at] != '\'') {
        while (at < text.size() && text[at] != ' ')
            word += text[at++];
        return word;
    }
    while (at < text.size() && text[at] == '\'') {
        const qsizetype end = text.indexOf('\'', at + 1);
        if (end < 0)
            return std::nullopt;
        word += text.sliced(at + 1, end - at - 1);
        at = end + 1;
        if (text.sliced(at).startsWith("\\'")) {
            word += '\'';
            at += 2;
        } else if (text.sliced(at).startsWith("\"$nl\"")) {
            word += '\n';
            at += 5;
        }
    }
    return word;
}
} // namespace

std::optional<QStringList> JobFile::arguments(QByteArrayView line)
{
    if (line == "false")
        return QStringList();
    QByteArrayView text = line;
    if (text.startsWith(newlinePrefix))
        text = text.sliced(newlinePrefix.size());
    if (text.startsWith("(exec ") && text.endsWith(')'))
        text = text.sliced(6).chopped(1);
    QStringList words;
    qsizetype at = 0;
    while (at < text.size()) {
        const std::optional<QByteArray> word = unquoted(text, at);
        if (!word || (at < text.size() && text[at++] != ' '))
            return std::nullopt;
        words << NativeName::decode(*word);
    }
    // Only what line() writes: any other spelling of the same words may mean something else to the shell.
    if (words.isEmpty() || JobFile::line(words) != line)
        return std::nullopt;
    return words;
}

QByteArray JobFile::text(const QList<QStringList>& jobs)
{
    QByteArray text;
    for (const QStringList& arguments : jobs)
        text += line(arguments) + '\n';
    return text + trailer(static_cast<int>(jobs.size()));
}

QByteArray JobFile::trailer(int jobs)
{
    return "# Lomvato のジョブファイル: 上の " + QByteArray::number(jobs) +
           " 行が 1 行 1 ジョブで実行順に並び、ジョブ N は N 行目です。\n"
           "# sh jobs.sh / parallel < jobs.sh / ジョブ N だけ: LC_ALL=C sed -n \"${N}p\" jobs.sh | sh\n"
           "# パスとプログラムは、ジョブを実行するマシンで有効でなければなりません。\n";
}

QString JobFile::parallelRefusal(const QList<int>& jobs)
{
    QStringList numbers;
    for (qsizetype i = 0; i < std::min<qsizetype>(jobs.size(), namedJobs); ++i)
        numbers << QString::number(jobs[i]);
    QString named = numbers.join(u", "_s);
    if (jobs.size() > namedJobs)
        named += u" ほか %1 件"_s.arg(jobs.size() - namedJobs);
    return u"ジョブ %1 の行は %2 バイトを超えています。GNU parallel "
           u"はこの長さの行を読めず、そこで止まります。"
           u"sh で実行するか、これらのジョブを分けてください。"_s.arg(named,
                                                                      QString::number(parallelLongestLine));
}

JobFileExport::JobFileExport(const JobPreview& jobs, const QString& path, QObject* parent)
    : QObject(parent), m_jobs(jobs), m_file(std::make_unique<RegularFile::Replacement>(path)),
      m_total(jobs.rowCount())
{
    m_steps.setInterval(0);
    connect(&m_steps, &QTimer::timeout, this, &JobFileExport::step);
    // A file of jobs half from before an edit and half from after it would run neither.
    connect(&m_jobs, &QAbstractItemModel::modelReset, this, [this] {
        if (m_steps.isActive())
            end(false, u"書き出しの間にジョブが変わりました"_s);
    });
}

JobFileExport::~JobFileExport()
{
    if (m_commit)
        m_commit->wait();
}

void JobFileExport::start()
{
    if (!m_file->open()) {
        // Reported once the caller listens, as every other end.
        QTimer::singleShot(0, this, [this] { end(false, m_file->errorString()); });
        return;
    }
    m_steps.start();
}

void JobFileExport::cancel()
{
    if (m_steps.isActive())
        end(false);
}

void JobFileExport::step()
{
    QElapsedTimer slice;
    slice.start();
    QByteArray text;
    while (m_next < m_total && (m_next % 64 != 0 || slice.elapsed() < sliceTime || text.isEmpty())) {
        const QByteArray line = JobFile::line(m_jobs.arguments(m_next));
        ++m_next;
        if (line.size() > JobFile::parallelLongestLine)
            m_tooLong.append(m_next);
        text += line + '\n';
    }
    if (m_next == m_total)
        text += JobFile::trailer(m_total);
    if (!m_file->write(text)) {
        end(false, m_file->errorString());
        return;
    }
    emit progress(m_next);
    if (m_next < m_total)
        return;
    // The sync of tens of megabytes may take a while on a slow disk: it runs beside the event loop. Nothing
    // else touches the file meanwhile, and a cancel comes too late for it.
    m_steps.stop();
    m_commit.reset(QThread::create([this] { m_committed = m_file->commit(); }));
    connect(m_commit.get(), &QThread::finished, this, [this] { end(m_committed, m_file->errorString()); });
    m_commit->start();
}

void JobFileExport::end(bool written, const QString& error)
{
    m_steps.stop();
    if (!written)
        m_file->cancel();
    m_error = written ? QString() : error;
    emit finished(written);
}
