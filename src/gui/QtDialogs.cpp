#include "QtDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

Dialogs::Answer QtDialogs::message(const QString& text, const QString& title, Buttons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    // Messages carry file names, paths and samples: a name starting with a tag is shown as written.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Cancel ? Answer::Cancel : Answer::Ok;
}

QString QtDialogs::input(const QString& prompt, const QString& title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title.isEmpty() ? applicationTitle() : title, prompt,
                                               QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

QString QtDialogs::openFile(const QString& folder, const QString& filter)
{
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(m_parent, QString(), folder, filter));
}

QString QtDialogs::saveFile(const QString& folder, const QString& filter)
{
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(m_parent, QString(), folder, filter));
}
