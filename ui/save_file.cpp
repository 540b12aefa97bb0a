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
    const QString proposed = folder.filePath(stem + QLatin1Char('.') + kinds.front().suffixes.first());
    const QString path = currentChooser()(parent, caption, proposed, filters, &filter);
    if (path.isEmpty())
        return std::nullopt;
    return saveTargetFor(path, filter, kinds);
}

bool saveFile(QWidget *parent, const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    // A failed open, write or commit leaves the old file and removes the new one.
    if (file.open(QIODevice::WriteOnly) && write(file) && file.commit()) {
        lastFolder() = QFileInfo(path).absolutePath();
        return true;
    }
    QString cause = file.errorString();
    if (file.error() == QFileDevice::NoError || cause.isEmpty())
        cause = QObject::tr("the data could not be written");
    showWarning(parent, QObject::tr("\"%1\" could not be saved: %2.")
                            .arg(QDir::toNativeSeparators(path), cause));
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
