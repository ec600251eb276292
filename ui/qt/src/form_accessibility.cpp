#include "vellicor/form_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "vellicor/main_window.h"

namespace vellicor {
namespace {

// On Linux Qt names a combo box by its current text; a screen reader should hear "Quality".
class QualityAccessible final : public QAccessibleWidget {
public:
    explicit QualityAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return box()->currentText();
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction()) {
            box()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* formAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String(QualityComboBox::staticMetaObject.className())) {
        return new QualityAccessible(static_cast<QualityComboBox*>(object));
    }
    return nullptr;
}

}  // namespace

void installFormAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(formAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace vellicor
