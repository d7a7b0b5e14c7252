#include "platform/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

#include <limits>

namespace tw {

namespace {

// Qt's file dialog reads double quotes in its name box as marks around
// several names ("a" "b"), so a file whose own name holds one comes back as
// some other name. These dialogs choose one file: the name box is taken as
// typed, unless it is one name in quotes that names no file as typed.
class OneFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The file taken as typed, empty when Qt's own reading was used.
    QString typedPath() const { return m_typedPath; }

    void accept() override
    {
        auto *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        if (!typed.contains(QLatin1Char('"'))) {
            QFileDialog::accept();
            return;
        }
        QString path = QDir(directory().absolutePath()).absoluteFilePath(typed);
        const QFileInfo info(path);
        const bool oneQuotedName = typed.size() > 2 && typed.startsWith(QLatin1Char('"'))
            && typed.endsWith(QLatin1Char('"')) && typed.count(QLatin1Char('"')) == 2;
        if (oneQuotedName && !info.exists()) {
            QFileDialog::accept();
            return;
        }
        if (info.isDir()) {
            setDirectory(path);
            edit->clear();
            return;
        }
        if (!info.exists() && info.suffix().isEmpty() && !defaultSuffix().isEmpty())
            path += QLatin1Char('.') + defaultSuffix();
        m_typedPath = path;
        QDialog::accept();
    }

private:
    QString m_typedPath;
};

} // namespace

QString QtDialogs::prompt(const QString &text, const QString &title)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString());
    // A line edit cuts what is typed or pasted at 32,767 characters unless told
    // otherwise; an answer (an address, a name) is taken whole.
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

bool QtDialogs::askYesNo(const QString &text, const QString &title)
{
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes)
        == QMessageBox::Yes;
}

bool QtDialogs::askYesNoDefaultNo(const QString &text, const QString &title)
{
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

Answer QtDialogs::askYesNoCancel(const QString &text, const QString &title)
{
    const auto button = QMessageBox::question(
        m_parent, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    if (button == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

void QtDialogs::message(const QString &text, const QString &title, MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        QMessageBox::information(m_parent, title, text);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(m_parent, title, text);
        break;
    case MessageKind::Critical:
        QMessageBox::critical(m_parent, title, text);
        break;
    case MessageKind::Plain: {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
        box.exec();
        break;
    }
    }
}

bool QtDialogs::choosePrinter(QPrinter &printer, const QString &title)
{
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::choose(const QString &text, const QString &title, const QStringList &choices)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

FileChoice QtDialogs::openFile(const QString &filter, const QString &defaultExtension)
{
    return runFileDialog(false, filter, defaultExtension);
}

FileChoice QtDialogs::saveFile(const QString &filter, const QString &defaultExtension)
{
    return runFileDialog(true, filter, defaultExtension);
}

QString QtDialogs::chooseFolder(const QString &title)
{
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}

FileChoice QtDialogs::runFileDialog(bool save, const QString &filter,
                                    const QString &defaultExtension)
{
    OneFileDialog dialog(m_parent);
    dialog.setNameFilter(qtFilterFromPairs(filter));
    // Show each filter's own description only; its patterns are Qt's business.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setDefaultSuffix(defaultExtension);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed name of a file that does not exist is accepted too.
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QString path = dialog.typedPath();
    if (path.isEmpty()) {
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty() || files.first().isEmpty())
            return {};
        path = files.first();
    }
    return {path, QFileInfo(path).fileName()};
}

} // namespace tw
