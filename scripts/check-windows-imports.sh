#!/usr/bin/env bash
# Checks that the Windows programs start on Windows 7 SP1: lists what each imports
# (objdump -p) and fails on any DLL or function that Windows 7 SP1 lacks. A program importing
# one of them would not start there at all ("entry point not found"); such calls must be looked
# up at run time instead (see app/win32/dpi.cpp).
#
#   scripts/check-windows-imports.sh [windows-build-dir]     (default build/windows)
#   scripts/check-windows-imports.sh --list FILE.exe...       what the files import, one a line
set -euo pipefail
cd "$(dirname "$0")/.."

objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump) || {
  echo "check-windows-imports: no objdump (install binutils-mingw-w64-x86-64)" >&2
  exit 2
}

# Imports of one PE file as "dll function" lines, the DLL name in lower case.
imports() {
  "$objdump" -p "$1" | awk '
    /^[ \t]*DLL Name:/ { dll = tolower($3); next }
    /^[ \t]*$/ { next }
    dll != "" && /^\t[0-9a-f]+\t/ { print dll, $NF }
    /^The Export Tables|^PE File Base Relocations/ { dll = "" }'
}

if [ "${1:-}" = "--list" ]; then
  shift
  for file in "$@"; do imports "$file"; done
  exit 0
fi

build=${1:-build/windows}
programs=("$build/app/win32/vellumo.exe" "$build/cli/vellumo-cli.exe")

# DLLs that Windows 7 SP1 does not have (or has only with later updates): "dll *".
# Functions that its DLLs lack, added in Windows 8, 8.1, 10 or 11: "dll function".
missing_on_windows7=$(cat <<'EOF'
ucrtbase.dll *
vcruntime140.dll *
msvcp140.dll *
shcore.dll *
combase.dll *
dcomp.dll *
d3d12.dll *
windows.storage.dll *
api-ms-win-* *
user32.dll AdjustWindowRectExForDpi
user32.dll AreDpiAwarenessContextsEqual
user32.dll EnableMouseInPointer
user32.dll EnableNonClientDpiScaling
user32.dll EvaluateProximityToPolygon
user32.dll EvaluateProximityToRect
user32.dll GetAutoRotationState
user32.dll GetAwarenessFromDpiAwarenessContext
user32.dll GetCIMSSM
user32.dll GetCurrentInputMessageSource
user32.dll GetDialogControlDpiChangeBehavior
user32.dll GetDialogDpiChangeBehavior
user32.dll GetDisplayAutoRotationPreferences
user32.dll GetDpiAwarenessContextForProcess
user32.dll GetDpiForSystem
user32.dll GetDpiForWindow
user32.dll GetDpiFromDpiAwarenessContext
user32.dll GetPointerDevice
user32.dll GetPointerDevices
user32.dll GetPointerFrameInfo
user32.dll GetPointerInfo
user32.dll GetPointerPenInfo
user32.dll GetPointerTouchInfo
user32.dll GetPointerType
user32.dll GetSystemDpiForProcess
user32.dll GetSystemMetricsForDpi
user32.dll GetThreadDpiAwarenessContext
user32.dll GetThreadDpiHostingBehavior
user32.dll GetWindowDpiAwarenessContext
user32.dll GetWindowDpiHostingBehavior
user32.dll InheritWindowMonitor
user32.dll InitializeTouchInjection
user32.dll InjectTouchInput
user32.dll IsImmersiveProcess
user32.dll IsMouseInPointerEnabled
user32.dll IsValidDpiAwarenessContext
user32.dll IsWindowArranged
user32.dll LogicalToPhysicalPointForPerMonitorDPI
user32.dll PhysicalToLogicalPointForPerMonitorDPI
user32.dll RegisterPointerInputTarget
user32.dll RegisterTouchHitTestingWindow
user32.dll SetCoalescableTimer
user32.dll SetDialogControlDpiChangeBehavior
user32.dll SetDialogDpiChangeBehavior
user32.dll SetDisplayAutoRotationPreferences
user32.dll SetProcessDpiAwarenessContext
user32.dll SetThreadDpiAwarenessContext
user32.dll SetThreadDpiHostingBehavior
user32.dll SkipPointerFrameMessages
user32.dll SystemParametersInfoForDpi
user32.dll UnregisterPointerInputTarget
kernel32.dll AddDllDirectory
kernel32.dll ClosePseudoConsole
kernel32.dll CopyFile2
kernel32.dll CreateFile2
kernel32.dll CreateFileMappingFromApp
kernel32.dll CreatePseudoConsole
kernel32.dll DeleteSynchronizationBarrier
kernel32.dll DiscardVirtualMemory
kernel32.dll EnterSynchronizationBarrier
kernel32.dll GetCurrentPackageFamilyName
kernel32.dll GetCurrentPackageFullName
kernel32.dll GetCurrentPackageId
kernel32.dll GetCurrentPackagePath
kernel32.dll GetCurrentThreadStackLimits
kernel32.dll GetFirmwareType
kernel32.dll GetOverlappedResultEx
kernel32.dll GetPackageFamilyName
kernel32.dll GetPackageFullName
kernel32.dll GetProcessInformation
kernel32.dll GetProcessMitigationPolicy
kernel32.dll GetSystemTimePreciseAsFileTime
kernel32.dll GetTempPath2A
kernel32.dll GetTempPath2W
kernel32.dll GetThreadDescription
kernel32.dll GetThreadInformation
kernel32.dll InitializeSynchronizationBarrier
kernel32.dll LoadPackagedLibrary
kernel32.dll MapViewOfFileFromApp
kernel32.dll OfferVirtualMemory
kernel32.dll PrefetchVirtualMemory
kernel32.dll QueryInterruptTime
kernel32.dll QueryInterruptTimePrecise
kernel32.dll QueryUnbiasedInterruptTimePrecise
kernel32.dll ReclaimVirtualMemory
kernel32.dll RemoveDllDirectory
kernel32.dll ResizePseudoConsole
kernel32.dll SetDefaultDllDirectories
kernel32.dll SetProcessInformation
kernel32.dll SetProcessMitigationPolicy
kernel32.dll SetThreadDescription
kernel32.dll SetThreadInformation
kernel32.dll VirtualAlloc2
kernel32.dll VirtualAllocFromApp
kernel32.dll VirtualProtectFromApp
kernel32.dll WaitOnAddress
kernel32.dll WakeByAddressAll
kernel32.dll WakeByAddressSingle
ntdll.dll RtlAddGrowableFunctionTable
ntdll.dll RtlDeleteGrowableFunctionTable
ntdll.dll RtlGrowFunctionTable
advapi32.dll EventSetInformation
gdi32.dll AddFontMemResourceEx2
EOF
)

failed=0
for program in "${programs[@]}"; do
  [ -f "$program" ] || { echo "check-windows-imports: $program is missing" >&2; exit 2; }
  list=$(imports "$program")
  [ -n "$list" ] || { echo "check-windows-imports: no imports read from $program" >&2; exit 2; }
  bad=$(awk '
    NR == FNR { if ($2 == "*") dlls[$1] = 1; else functions[$1 " " $2] = 1; next }
    {
      for (pattern in dlls) {
        prefix = pattern; sub(/\*$/, "", prefix)
        if ($1 == pattern || (pattern ~ /\*$/ && index($1, prefix) == 1)) { print; next }
      }
      if (($1 " " $2) in functions) print
    }' <(echo "$missing_on_windows7") <(echo "$list"))
  count=$(echo "$list" | wc -l)
  if [ -n "$bad" ]; then
    echo "check-windows-imports: $program imports what Windows 7 SP1 lacks:" >&2
    echo "$bad" | sed 's/^/  /' >&2
    failed=1
  else
    echo "check-windows-imports: $program: $count imports, all present on Windows 7 SP1"
  fi
done
exit "$failed"
