#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace platform {

namespace {

OpenFilePresenter& presenter()
{
    static OpenFilePresenter instance;
    return instance;
}

// "*.rfw" as "*.rfw *.RFW": the file system tells the two apart, the user does not.
QString anyCasePatterns(const QString& patterns)
{
    QStringList alternatives;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed == QLatin1String("*.*") || trimmed == QLatin1String("*"))
            return QStringLiteral("*");
        for (const QString& spelling : {trimmed.toLower(), trimmed.toUpper()})
            if (!alternatives.contains(spelling))
                alternatives << spelling;
    }
    return alternatives.join(QLatin1Char(' '));
}

std::optional<QString> runDialog(const OpenFileRequest& request)
{
    QFileDialog dialog(request.parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty()) {
        const QFileInfo chosen(request.fileName);
        dialog.setDirectory(chosen.absolutePath());
        dialog.selectFile(chosen.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + anyCasePatterns(parts[i + 1]) + QLatin1Char(')');
    return filters;
}

std::optional<QString> chooseFileToOpen(const OpenFileRequest& request)
{
    if (presenter())
        return presenter()(request);
    return runDialog(request);
}

void setOpenFilePresenter(OpenFilePresenter replacement)
{
    presenter() = std::move(replacement);
}

} // namespace platform
