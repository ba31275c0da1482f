#include "LogTab.h"

#include "core/ActivityLog.h"
#include "ui_LogTab.h"

#include <QTextBlock>
#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace
{

QString displayText(QString logText)
{
    return logText.replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

LogTab::LogTab(ActivityLog& log, QWidget* parent)
    : QWidget(parent), m_log(log), ui(std::make_unique<Ui::LogTab>())
{
    ui->setupUi(this);
    connect(ui->clearLogButton, &QPushButton::clicked, this, &LogTab::clearRequested);

    // Entries reach the tab a few times a second at most: laying out and painting the box once per entry
    // would cost a run of short jobs more than the jobs themselves.
    m_logFlush.setSingleShot(true);
    m_logFlush.setInterval(shownUpdatePeriod);
    connect(&m_logFlush, &QTimer::timeout, this, &LogTab::showPendingLog);
    connect(&m_log, &ActivityLog::prepended, this, [this](const QString& piece) {
        m_pendingLog.push_front(piece);
        if (!m_logFlush.isActive())
            m_logFlush.start();
    });
    connect(&m_log, &ActivityLog::reset, this, &LogTab::showLogText);
    showLogText();
}

LogTab::~LogTab() = default;
void LogTab::showPendingLog()
{
    m_logFlush.stop();
    if (m_pendingLog.empty())
        return;
    QString text;
    for (const QString& piece : m_pendingLog)
        text += piece;
    m_pendingLog.clear();
    QTextCursor cursor(ui->logView->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(displayText(text));
    trimShownLog();
}

void LogTab::showLogText()
{
    m_logFlush.stop();
    m_pendingLog.clear();
    ui->logView->setPlainText(displayText(m_log.text().left(qsizetype{2} * shownLogLimit)));
    trimShownLog();
}

// Cuts the shown text back to the limit once it has grown past it by a sixteenth, so that not every entry of
// a long run cuts.
void LogTab::trimShownLog()
{
    QTextDocument* document = ui->logView->document();
    if (document->characterCount() <= shownLogLimit + shownLogLimit / 16)
        return;
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlock(shownLogLimit).position());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
