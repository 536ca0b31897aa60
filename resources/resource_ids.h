// Identifiers of the resources in vellumo.rc, shared with the code that loads them.
#pragma once

#define IDI_VELLUMO 1
