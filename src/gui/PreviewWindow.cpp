#include "PreviewWindow.h"

#include "platform/Dialogs.h"
#include "run/Expansion.h"
#include "run/JobFile.h"
#include "run/JobPreview.h"
#include "run/RunEngine.h"
#include "store/StoreError.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PreviewWindow::PreviewWindow(const WorkTable& table, const ProcessLauncher& launcher, const FileSystem& files,
                             RunEngine& engine, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_jobs(new JobPreview(table, launcher, files, this)), m_engine(engine),
      m_dialogs(dialogs)
{
    setObjectName(u"PreviewWindow"_s);
    setWindowTitle(u"コマンドラインのプレビュー"_s);
    resize(960, 520);

    m_problems = new QLabel(this);
    m_problems->setObjectName(u"Problems"_s);
    m_problems->setTextFormat(Qt::PlainText);
    m_problems->setStyleSheet(u"color: #b00000;"_s);
    m_problems->setWordWrap(true);

    m_view = new QTableView(this);
    m_view->setObjectName(u"Jobs"_s);
    m_view->setModel(m_jobs);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    // Fixed row heights and column widths: measuring every row's contents would compute every job.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {50, 90, 110, 280};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_view->setColumnWidth(c, widths[c]);

    m_runOne = new QPushButton(u"このジョブだけ実行"_s, this);
    m_runOne->setObjectName(u"RunOne"_s);
    m_export = new QPushButton(u"書き出し…"_s, this);
    m_export->setObjectName(u"Export"_s);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_runOne, QDialogButtonBox::ActionRole);
    buttons->addButton(m_export, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_problems);
    layout->addWidget(m_view, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_runOne, &QPushButton::clicked, this, &PreviewWindow::runSelected);
    connect(m_export, &QPushButton::clicked, this, &PreviewWindow::exportJobs);
    connect(m_jobs, &QAbstractItemModel::modelReset, this, &PreviewWindow::showProblems);
    connect(m_jobs, &QAbstractItemModel::modelReset, this, &PreviewWindow::updateButtons);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PreviewWindow::updateButtons);
    connect(&m_engine, &RunEngine::buttonsChanged, this, &PreviewWindow::updateButtons);
    showProblems();
    updateButtons();
}

void PreviewWindow::showProblems()
{
    // The lines end in CR LF, as the run's message box shows them.
    const QString problems = m_jobs->problems().replace(u"\r\n"_s, u"\n"_s).trimmed();
    m_problems->setText(problems);
    m_problems->setVisible(!problems.isEmpty());
}

void PreviewWindow::updateButtons()
{
    m_runOne->setEnabled(!m_engine.isRunning() && m_view->selectionModel()->hasSelection());
    m_export->setEnabled(!m_exporting && m_jobs->rowCount() > 0);
}

void PreviewWindow::runSelected()
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const int job = rows.front().row();
    m_engine.runOne(m_jobs->entryOf(job), m_jobs->fileRowOf(job));
}

void PreviewWindow::exportJobs()
{
    // A run with these problems would not start; neither does its job file.
    const QString problems = m_jobs->problems();
    if (!problems.isEmpty()) {
        m_dialogs.message(appKeyProblemsMessage(problems), applicationTitle());
        return;
    }
    const QString path = m_dialogs.saveFile(QString(), u"ジョブファイル (*.sh);;すべてのファイル (*)"_s);
    if (path.isEmpty())
        return;
    m_exporting = true;
    updateButtons();
    auto* exporter = new JobFileExport(*m_jobs, path, this);
    // Shown only when the export takes longer than a moment; it keeps the lists from changing meanwhile.
    auto* progress =
        new QProgressDialog(u"ジョブファイルを書き出しています…"_s, u"中止"_s, 0, exporter->total(), this);
    progress->setObjectName(u"ExportProgress"_s);
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(300);
    connect(exporter, &JobFileExport::progress, progress, &QProgressDialog::setValue);
    connect(progress, &QProgressDialog::canceled, exporter, &JobFileExport::cancel);
    connect(exporter, &JobFileExport::finished, this, [this, exporter, progress, path](bool written) {
        progress->deleteLater();
        exporter->deleteLater();
        m_exporting = false;
        updateButtons();
        if (!written && !exporter->error().isEmpty())
            m_dialogs.message(StoreError{StoreError::CannotWrite, exporter->error()}.notSaved(path),
                              applicationTitle());
        else if (written && !exporter->tooLongForParallel().isEmpty())
            m_dialogs.message(JobFile::parallelRefusal(exporter->tooLongForParallel()), applicationTitle());
    });
    exporter->start();
}
