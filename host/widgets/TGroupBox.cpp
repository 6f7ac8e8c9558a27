#include "TGroupBox.h"
#include "core/ComponentRegistry.h"

REGISTER_COMPONENT(TGroupBox)

TGroupBox::TGroupBox(QWidget *parent) : QGroupBox(parent) {}
