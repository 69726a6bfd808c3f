#include "ui/controls/control_factory.h"

#include "ui/control_type.h"
#include "ui/ui_object.h"

UIObject* NewControlOfType(int type)
{
    switch (type) {
    default:
        // Kinds whose controls are not part of the program make nothing.
        return nullptr;
    }
}
