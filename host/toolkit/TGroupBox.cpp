#include "TGroupBox.h"
#include "ComponentRegistry.h"

REGISTER_COMPONENT(TGroupBox)

TGroupBox::TGroupBox(QWidget *parent) : QGroupBox(parent) {}
