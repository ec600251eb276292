#include "vellicor/window_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace vellicor {

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Compresses and restores files of up to 32767 bytes in the .lzc format."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The file to show in the file name box."),
                                 QStringLiteral("[FILE]"));
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help)) {
        return {CommandLine::Action::printHelp, {}, parser.helpText()};
    }
    if (parsed && parser.isSet(version)) {
        return {CommandLine::Action::printVersion,
                {},
                QStringLiteral("vellicor %1\n").arg(QString::fromLatin1(VELLICOR_VERSION))};
    }
    const QStringList files = parser.positionalArguments();
    if (!parsed || files.size() > 1) {
        const QString reason =
            parsed ? QStringLiteral("Only one file can be named.") : parser.errorText();
        return {CommandLine::Action::refuse, {}, reason + QLatin1Char('\n') + parser.helpText()};
    }
    if (files.isEmpty() || files.constFirst().isEmpty()) {
        return {};
    }
    return {CommandLine::Action::showWindow, QFileInfo(files.constFirst()).absoluteFilePath(), {}};
}

}  // namespace vellicor
