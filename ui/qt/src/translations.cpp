#include "vellicor/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <array>
#include <memory>

#include "vellicor/texts.h"

namespace vellicor {

bool installTranslations(const QLocale& locale) {
    // The window's own texts, built from translations/*.ts into the resources, and Qt's (the
    // standard buttons, the file dialog, the command-line help) where Debian's
    // qt6-translations-l10n has them.
    static std::array<std::unique_ptr<QTranslator>, 2> loaded;
    const std::array<QString, 2> names{QStringLiteral("vellicor"), QStringLiteral("qtbase")};
    const std::array<QString, 2> folders{QStringLiteral(":/vellicor/translations"),
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    translateCoreThroughQt();
    for (std::size_t index = 0; index < loaded.size(); ++index) {
        if (loaded[index]) {
            QCoreApplication::removeTranslator(loaded[index].get());
            loaded[index].reset();
        }
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(locale, names[index], QStringLiteral("_"), folders[index])) {
            QCoreApplication::installTranslator(translator.get());
            loaded[index] = std::move(translator);
        }
    }
    return loaded[0] != nullptr;
}

void translateCoreThroughQt() {
    setTranslator([](const char* context, const char* text) {
        return QCoreApplication::translate(context, text).toStdString();
    });
}

}  // namespace vellicor
