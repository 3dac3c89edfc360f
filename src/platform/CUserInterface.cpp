#include "platform/CUserInterface.h"

CUserInterface::~CUserInterface() = default;
