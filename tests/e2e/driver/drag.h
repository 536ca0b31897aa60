// Files dragged from the driver onto a window with OLE drag and drop, as Explorer drags them: a
// real DoDragDrop with a data object that offers CF_HDROP, dropped once the window under the
// pointer has answered the drag.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

inline constexpr DWORD kAnyDropEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// A CF_HDROP block: the DROPFILES header, then the paths in UTF-16, each ended by a zero, and an
// empty path at the end.
std::string FileDropBlock(const std::vector<std::wstring>& paths);

// Drags a CF_HDROP block onto the screen point `target` (the pointer is settled there first),
// the source allowing the effects `allowed`, and drops it there once the window under the
// pointer has answered the drag twice. Answers the effect the drop ended with: DROPEFFECT_NONE
// when the window refused it.
DWORD DragFileBlock(const std::string& block, POINT target, DWORD allowed = kAnyDropEffect,
                    Where where = Where::current());
// The same with the block of `paths`.
DWORD DragFiles(const std::vector<std::wstring>& paths, POINT target,
                DWORD allowed = kAnyDropEffect, Where where = Where::current());

}  // namespace vellumo::e2e
