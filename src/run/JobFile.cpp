#include "JobFile.h"

#include "JobPreview.h"
#include "platform/NativeName.h"

#include <QSaveFile>

namespace
{
// Characters that mean nothing to the shell anywhere in a word.
bool plain(char c, bool program)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("_@%+:,./-").contains(c) || (c == '=' && !program);
}

constexpr QByteArrayView newlinePrefix = "nl=$(printf '\\n.'); nl=${nl%.}; ";
} // namespace

QByteArray JobFile::quote(QByteArrayView word, bool program)
{
    if (!word.isEmpty() &&
        std::all_of(word.begin(), word.end(), [program](char c) { return plain(c, program); }))
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
    return breaks ? newlinePrefix.toByteArray() + text : text;
}

QByteArray JobFile::write(const JobPreview& jobs)
{
    const int count = jobs.rowCount();
    QByteArray text = "# Lomvato のジョブファイル: 1 行が 1 ジョブ（" + QByteArray::number(count) +
                      " 件）、この 3 行のあとに実行順に並びます。\n"
                      "# sh jobs.sh / parallel < jobs.sh / parallel --sshloginfile nodes.txt < jobs.sh\n"
                      "# パスとプログラムは、ジョブを実行するマシンで有効でなければなりません。\n";
    for (int job = 0; job < count; ++job)
        text += line(jobs.arguments(job)) + '\n';
    return text;
}

bool JobFile::save(const QString& path, const JobPreview& jobs)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(write(jobs));
    return file.commit();
}
