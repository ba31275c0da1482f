#include "AppCommands.h"

#include "ParameterEditor.h"
#include "core/AppRegistry.h"
#include "platform/CommandLine.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProgramFolder.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace
{

// The stored path is folder + separator + file name; its folder is everything before the last separator.
QString folderOf(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(QDir::separator());
    if (cut < 0)
        return {};
    return cut == 0 ? path.left(1) : path.left(cut);
}

} // namespace

AppCommands::AppCommands(AppRegistry& apps, ParameterEditor& editor, Dialogs& dialogs,
                         const FileSystem& files, ProcessLauncher& launcher, QString programFolder)
    : m_apps(apps), m_editor(editor), m_dialogs(dialogs), m_files(files), m_launcher(launcher),
      m_programFolder(std::move(programFolder))
{
}

void AppCommands::addApplication()
{
    if (m_apps.count() >= AppRegistry::Limit) {
        m_dialogs.message(u"アプリケーションは%1までしか登録できません"_s.arg(AppRegistry::Limit),
                          applicationTitle());
        return;
    }
    m_purpose = AppDialogRequest::Purpose::Add;
    if (m_showDialog)
        m_showDialog(AppDialogRequest{m_purpose, {}, {}, {}});
}

void AppCommands::changeApplication(int selected)
{
    if (selected < 0 || selected >= m_apps.count())
        return;
    m_purpose = AppDialogRequest::Purpose::Change;
    m_changeRow = selected;
    const AppDialogRequest request{m_purpose, m_apps.sample(selected), folderOf(m_apps.path(selected)),
                                   m_programFolder};
    if (m_showDialog)
        m_showDialog(request);
}

void AppCommands::removeApplication(int selected)
{
    if (m_apps.count() == 0) {
        m_editor.clearSampleDisplay();
        return;
    }
    if (selected < 0 || selected >= m_apps.count())
        return;
    if (m_editor.isEditing()) {
        const auto answer =
            m_dialogs.message(u"アプリケーションの削除は、パラメータテキスト編集中ではできません"
                              u"\r\nパラメータテキスト編集をクリアしますか"_s,
                              applicationTitle(), Dialogs::Buttons::OkCancel);
        if (answer != Dialogs::Answer::Ok)
            return;
        m_editor.abandonEdit();
    }
    m_apps.removeRow(selected);
    m_apps.renumber();
    m_editor.resetAfterDelete();
}

void AppCommands::startApplication(int selected)
{
    if (selected < 0 || selected >= m_apps.count())
        return;
    const QString path = m_apps.path(selected);
    if (!m_files.fileExists(path)) {
        m_dialogs.message(path + u"\r\n\r\nは起動できません。パスが見つかりません"_s, applicationTitle());
        return;
    }
    // The path alone is the whole command line, written as a run writes it, and it names its program whole.
    m_launcher.start(CommandLine::escapeQuotes(path), {path});
}

bool AppCommands::storeApplication(const QString& folder, const QString& fileName, const QString& sample)
{
    if (fileName.isEmpty()) {
        m_dialogs.message(u"ファイルを選択してください"_s, applicationTitle());
        return false;
    }
    const QStringList cells{QString(), fileName, joinPath(folder, fileName), sample};
    if (m_purpose == AppDialogRequest::Purpose::Add)
        m_apps.appendRow(cells);
    else
        m_apps.replaceRow(m_changeRow, cells);
    m_apps.renumber();
    return true;
}
