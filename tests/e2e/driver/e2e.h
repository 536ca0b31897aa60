// Everything a scenario file uses: include this one header.
#pragma once

#include "tests/e2e/driver/clipboard.h"
#include "tests/e2e/driver/cp932.h"
#include "tests/e2e/driver/drag.h"
#include "tests/e2e/driver/editor.h"
#include "tests/e2e/driver/files.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/probe.h"
#include "tests/e2e/driver/process.h"
#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window.h"
