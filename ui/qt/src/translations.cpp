#include "vellicor/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

#include "vellicor/texts.h"

namespace vellicor {

bool installTranslations(const QLocale& locale) {
    std::vector<std::string> languages;
    for (const QString& language : locale.uiLanguages()) {
        languages.push_back(language.toStdString());
    }
    const bool translated = useLanguage(languages) != "en";
    // Qt's own texts, where Debian's qt6-translations-l10n has them.
    static std::unique_ptr<QTranslator> qt;
    if (qt) {
        QCoreApplication::removeTranslator(qt.get());
        qt.reset();
    }
    auto translator = std::make_unique<QTranslator>();
    if (translated && translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        qt = std::move(translator);
    }
    return translated;
}

}  // namespace vellicor
