#include "menu/MenuComponent.h"

namespace tollmere {

// Defined out of line so the class's virtual table is emitted in this one object file.
MenuComponent::~MenuComponent() = default;

}  // namespace tollmere
