#include "FolderPicker.h"

#include "platform/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QStorageInfo>
#include <QStringListModel>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace
{

const QString parentEntry = u".."_s;

QListView* makeList(QStringListModel* model, const QString& name, QWidget* parent)
{
    auto* view = new QListView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setUniformItemSizes(true);
    return view;
}

} // namespace

FolderPicker::FolderPicker(Files files, QWidget* parent)
    : QWidget(parent), m_files(files), m_driveList(new QComboBox(this)), m_path(new QLabel(this)),
      m_dirModel(new QStringListModel(this)), m_fileModel(new QStringListModel(this))
{
    m_driveList->setObjectName(u"driveList"_s);
    m_driveList->addItems(drives());
    m_path->setObjectName(u"folderPath"_s);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_path->setTextFormat(Qt::PlainText);
    m_folderList = makeList(m_dirModel, u"folderList"_s, this);
    m_fileChoice = makeList(m_fileModel, u"fileChoice"_s, this);

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_folderList);
    lists->addWidget(m_fileChoice);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_driveList);
    layout->addWidget(m_path);
    layout->addLayout(lists, 1);

    // `activated`, not `currentIndexChanged`: only the user's choice opens a drive, never our own resync.
    connect(m_driveList, &QComboBox::activated, this, &FolderPicker::openDrive);
    connect(m_folderList, &QListView::activated, this,
            [this](const QModelIndex& index) { openEntry(index.data().toString()); });

    if (!setFolder(QDir::currentPath()))
        setFolder(QDir::rootPath());
}

QString FolderPicker::folder() const
{
    return QDir::toNativeSeparators(m_folder);
}

QString FolderPicker::folderProblem(const QString& path)
{
    std::error_code error;
    if (path.isEmpty())
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    else
        std::filesystem::directory_iterator(std::filesystem::path(path.toStdU16String()), error);
    if (!error)
        return {};
    return QString::fromLocal8Bit(error.message());
}

QStringList FolderPicker::drives()
{
    QStringList roots{QDir::toNativeSeparators(QDir::rootPath())};
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid())
            continue;
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        if (!roots.contains(root))
            roots.append(root);
    }
    return roots;
}

bool FolderPicker::setFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString absolute = QDir::cleanPath(QDir(QDir::fromNativeSeparators(path)).absolutePath());
    if (!folderProblem(absolute).isEmpty())
        return false;
    m_folder = absolute;
    refresh();
    return true;
}

void FolderPicker::setFiles(Files files)
{
    m_files = files;
    refresh();
}

QString FolderPicker::selectedFile() const
{
    const QModelIndexList selected = m_fileChoice->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

void FolderPicker::refresh()
{
    const QDir dir(m_folder);
    QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (!dir.isRoot())
        folders.prepend(parentEntry);
    m_dirModel->setStringList(folders);

    QDir::Filters filter = QDir::Files;
    QStringList names;
    if (m_files == Files::Executables) {
#ifdef Q_OS_WIN
        names = QStringList{u"*.exe"_s};
#else
        filter |= QDir::Executable;
#endif
    }
    m_fileModel->setStringList(dir.entryList(names, filter, QDir::Name | QDir::IgnoreCase));
    m_path->setText(folder());
    selectDriveOfFolder();
}

void FolderPicker::selectDriveOfFolder()
{
    // The drive is the mounted root that holds the folder: the longest root path that prefixes it.
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_driveList->count(); ++i) {
        const QString root = QDir::fromNativeSeparators(m_driveList->itemText(i));
        const QString prefix = root.endsWith(u'/') ? root : root + u'/';
        const bool holds = m_folder == root || m_folder.startsWith(prefix);
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    m_driveList->setCurrentIndex(best);
}

void FolderPicker::openDrive(int index)
{
    const QString root = m_driveList->itemText(index);
    const QString problem = folderProblem(root);
    if (!problem.isEmpty()) {
        report(problem);
        selectDriveOfFolder();
        return;
    }
    setFolder(root);
}

void FolderPicker::openEntry(const QString& entry)
{
    const QString target = entry == parentEntry ? QDir::cleanPath(m_folder + u"/.."_s)
                                                : QDir::cleanPath(m_folder + u'/' + entry);
    const QString problem = folderProblem(target);
    if (!problem.isEmpty()) {
        report(problem);
        return;
    }
    setFolder(target);
}

void FolderPicker::report(const QString& description)
{
    if (m_dialogs)
        m_dialogs->message(description, applicationTitle());
}
