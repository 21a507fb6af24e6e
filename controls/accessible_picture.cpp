#include "controls/accessible_picture.h"

#include "controls/picture_ex.h"

#include <QAccessibleWidget>
#include <QVariant>

namespace {

constexpr const char* kDecorationProperty = "decoration";

class AccessiblePicture : public QAccessibleWidget {
public:
    explicit AccessiblePicture(QWidget* picture) : QAccessibleWidget(picture, QAccessible::Graphic) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (widget()->property(kDecorationProperty).toBool())
            state.invisible = true;
        return state;
    }
};

QAccessibleInterface* PictureInterface(const QString&, QObject* object)
{
    if (auto* picture = dynamic_cast<CPictureEx*>(object))
        return new AccessiblePicture(picture);
    return nullptr;
}

}  // namespace

void MarkAsDecoration(QWidget* picture) { picture->setProperty(kDecorationProperty, true); }

void InstallPictureAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(PictureInterface);
        return true;
    }();
    (void)installed;
}
