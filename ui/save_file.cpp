// SPDX-License-Identifier: MIT
#include "save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

#include "ui/message.h"

namespace quenrow {

namespace {

QString suffixOfFilter(const QString &filter)
{
    // "SVG drawing (*.svg)" -> "svg"
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    if (star < 0)
        return QString();
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber())
        ++end;
    return filter.mid(star + 2, end - star - 2);
}

QString askWithDialog(QWidget *parent, const QString &caption, const QString &proposed,
                      const QStringList &filters, QString *selectedFilter)
{
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(*selectedFilter);
    dialog.selectFile(proposed);
    dialog.setDefaultSuffix(suffixOfFilter(*selectedFilter));
    // Another filter changes the ending of the name typed so far, so that
    // the file the dialog asks to replace is the one that will be written.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &filter) {
        const QString suffix = suffixOfFilter(filter);
        dialog.setDefaultSuffix(suffix);
        const QStringList typed = dialog.selectedFiles();
        if (typed.size() != 1 || suffix.isEmpty())
            return;
        const QFileInfo name(typed.first());
        for (const QString &other : filters)
            if (name.suffix().compare(suffixOfFilter(other), Qt::CaseInsensitive) == 0)
                dialog.selectFile(name.completeBaseName() + QLatin1Char('.') + suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

SaveNameChooser &currentChooser()
{
    static SaveNameChooser chooser = askWithDialog;
    return chooser;
}

QString &lastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

SaveNameChooser setSaveNameChooser(SaveNameChooser chooser)
{
    SaveNameChooser previous = std::move(currentChooser());
    currentChooser() = chooser ? std::move(chooser) : SaveNameChooser(askWithDialog);
    return previous;
}

SaveTarget saveTargetFor(QString path, const QString &filter, const std::vector<FileKind> &kinds)
{
    const QString suffix = QFileInfo(path).suffix();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i].suffixes.contains(suffix, Qt::CaseInsensitive))
            return {path, i};
    std::size_t kind = 0;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i].filter == filter)
            kind = i;
    return {path + QLatin1Char('.') + kinds[kind].suffixes.first(), kind};
}

std::optional<SaveTarget> askSaveTarget(QWidget *parent, const QString &caption,
                                        const QString &stem, const std::vector<FileKind> &kinds)
{
    QStringList filters;
    for (const FileKind &kind : kinds)
        filters << kind.filter;
    QString filter = filters.first();
    const QDir folder(lastFolder().isEmpty() ? QDir::currentPath() : lastFolder());
    const QString proposed =
        folder.filePath(stem + QLatin1Char('.') + kinds.front().suffixes.first());
    const QString path = currentChooser()(parent, caption, proposed, filters, &filter);
    if (path.isEmpty())
        return std::nullopt;
    return saveTargetFor(path, filter, kinds);
}

namespace {

// Hands every write on to `file` whole, or remembers why it could not. The
// writers (a PDF or SVG painter, the PNG encoder) do not all look at what a
// write returns, and a short write says nothing of its cause until the rest
// is tried.
class WholeWrites final : public QIODevice {
public:
    explicit WholeWrites(QIODevice &file) : file_(file) { open(QIODevice::WriteOnly); }

    bool failed() const { return failed_; }
    QString cause() const { return cause_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (failed_)
            return -1;
        for (qint64 done = 0; done < size;) {
            const qint64 written = file_.write(data + done, size - done);
            if (written <= 0) {
                failed_ = true;
                cause_ = file_.errorString();
                return -1;
            }
            done += written;
        }
        return size;
    }

private:
    QIODevice &file_;
    bool failed_ = false;
    QString cause_;
};

} // namespace

bool saveFile(QWidget *parent, const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    // Unbuffered: QSaveFile flushes what it holds back inside commit() and
    // renames even when that flush fails, so nothing may be held back.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QString cause;
    if (written) {
        WholeWrites out(file);
        written = write(out) && !out.failed();
        cause = out.cause();
    }
    // A file not committed is removed with `file`; the old one stays as it was.
    if (written && file.commit()) {
        lastFolder() = QFileInfo(path).absolutePath();
        return true;
    }
    if (cause.isEmpty() && file.error() != QFileDevice::NoError)
        cause = file.errorString();
    if (cause.isEmpty())
        cause = QObject::tr("the data could not be written");
    showWarning(
        parent,
        QObject::tr("\"%1\" could not be saved: %2.").arg(QDir::toNativeSeparators(path), cause));
    return false;
}

namespace {

QString openWithDialog(QWidget *parent, const QString &caption, const QString &filter)
{
    const QString folder = lastFolder().isEmpty() ? QDir::currentPath() : lastFolder();
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

OpenNameChooser &currentOpenChooser()
{
    static OpenNameChooser chooser = openWithDialog;
    return chooser;
}

} // namespace

OpenNameChooser setOpenNameChooser(OpenNameChooser chooser)
{
    OpenNameChooser previous = std::move(currentOpenChooser());
    currentOpenChooser() = chooser ? std::move(chooser) : OpenNameChooser(openWithDialog);
    return previous;
}

QString askOpenPath(QWidget *parent, const QString &caption, const QString &filter)
{
    return currentOpenChooser()(parent, caption, filter);
}

} // namespace quenrow
