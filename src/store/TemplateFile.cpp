#include "TemplateFile.h"

#include "TemplateData.h"
#include "TemplateReader.h"
#include "TemplateWriter.h"
#include "TextCodec.h"
#include "core/WorkTable.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"

#include <QDir>

using namespace Qt::StringLiterals;

TemplateFile::TemplateFile(WorkTable& table, Dialogs& dialogs, const FileSystem& fileSystem,
                           QString programFolder)
    : m_table(table), m_dialogs(dialogs), m_fileSystem(fileSystem), m_programFolder(std::move(programFolder))
{
}

QString TemplateFile::startupTemplatePath() const
{
    return joinPath(m_programFolder, startupTemplateName());
}

QString TemplateFile::templateFolder() const
{
    return joinPath(m_programFolder, u"lvtファイル"_s);
}

namespace
{
const QString dialogFilter = u"テンプレートファイル (*.lvt)"_s;
} // namespace

bool TemplateFile::writeTemplate(const QString& path, StoreError* error)
{
    return TextCodec::writeFile(path, TemplateWriter::text(TemplateData::from(m_table)), error);
}

bool TemplateFile::writeFactoryTemplate(const QString& path, StoreError* error)
{
    return TextCodec::writeFile(path, TemplateWriter::factoryText(), error);
}

bool TemplateFile::writeFactoryStartupTemplate(StoreError* error)
{
    return writeFactoryTemplate(startupTemplatePath(), error);
}

bool TemplateFile::read(const QString& path, TemplateData* data, StoreError* error) const
{
    QString text;
    if (!TextCodec::readFile(path, &text, error))
        return false;
    *data = TemplateData::from(m_table);
    TemplateReader::clearLists(*data);
    return TemplateReader::read(text, *data, error);
}

void TemplateFile::apply(const TemplateData& data)
{
    data.applyTo(m_table);
    reportMissingApplications();
    m_table.startupIncomplete = false;
}

bool TemplateFile::saved(Dialogs& dialogs, bool written, const QString& path, const StoreError& error)
{
    if (!written) {
        dialogs.message(error.notSaved(path), applicationTitle());
    }
    return written;
}

void TemplateFile::reportMissingApplications()
{
    QString missing;
    for (int r = 0; r < m_table.apps.count(); ++r) {
        if (!m_fileSystem.fileExists(m_table.apps.path(r)))
            missing += AppRegistry::keyFor(r + 1);
    }
    if (!missing.isEmpty())
        m_dialogs.message(missing + u"\r\n登録されたパスに見あたりません"_s, applicationTitle());
}

TemplateFile::Outcome TemplateFile::loadStartupTemplate(const QString& path)
{
    for (;;) {
        const bool secondAttempt = m_table.startupIncomplete;
        TemplateData data;
        StoreError error;
        if (read(path, &data, &error)) {
            apply(data);
            return secondAttempt ? Outcome::Recovered : Outcome::Loaded;
        }
        if (secondAttempt) {
            m_dialogs.message(u"出荷時設定での起動も失敗しました"_s, u"再インストールしてください"_s);
            return Outcome::GaveUp;
        }
        m_dialogs.message(
            error.text() +
                u"\r\n初期設定（default.lvt）ファイルが壊れている可能性があります。\r\n出荷時設定で起動します"_s,
            u"起動時にエラーが発生しました"_s);
        // A failing write leaves the damaged file, whose second read then gives up.
        StoreError writeError;
        saved(m_dialogs, writeFactoryStartupTemplate(&writeError), startupTemplatePath(), writeError);
        m_table.startupIncomplete = true;
    }
}

void TemplateFile::saveAs()
{
    const QString path = m_dialogs.saveFile(templateFolder(), dialogFilter);
    if (path.isEmpty())
        return;
    StoreError error;
    saved(m_dialogs, writeTemplate(path, &error), path, error);
}

void TemplateFile::open()
{
    const QString path = m_dialogs.openFile(templateFolder(), dialogFilter);
    if (path.isEmpty())
        return;
    TemplateData data;
    StoreError error;
    if (!read(path, &data, &error)) {
        m_dialogs.message(error.text() + u"\r\nテンプレートファイルを読み込めませんでした"_s,
                          applicationTitle());
        return;
    }
    apply(data);
}
