#include "vellicor/window_arguments.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace vellicor {
// Qt's own parts of the help (the --help and --version options, "Usage:") come in the user's
// language from Qt's translations.
CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "vellicor::CommandLine",
        "Compresses and restores files of up to 32767 bytes in the .lzc format."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QCoreApplication::translate("vellicor::CommandLine", "FILE"),
        QCoreApplication::translate("vellicor::CommandLine",
                                    "The file to show in the file name box."),
        QCoreApplication::translate("vellicor::CommandLine", "[FILE]"));
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
        const QString reason = parsed ? QCoreApplication::translate("vellicor::CommandLine",
                                                                    "Only one file can be named.")
                                      : parser.errorText();
        return {CommandLine::Action::refuse, {}, reason + QLatin1Char('\n') + parser.helpText()};
    }
    if (files.isEmpty() || files.constFirst().isEmpty()) {
        return {};
    }
    return {CommandLine::Action::showWindow, QFileInfo(files.constFirst()).absoluteFilePath(), {}};
}

}  // namespace vellicor
