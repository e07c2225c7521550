#!/usr/bin/env python3
"""Fails when a product source tests the operating system in the preprocessor
outside the platform layer and the Win32 window layer: such a rule belongs in
runtime/platform, behind a header that both platforms implement.

    platform_conditionals.py <source tree>
"""
import pathlib
import re
import sys

FOLDERS = ("runtime", "updater", "windows", "app", "cli")
ALLOWED = ("runtime/platform/", "runtime/gui/win32/", "app/WinMain.cpp")
SUFFIXES = {".h", ".hpp", ".cpp", ".c", ".inl"}
MACROS = (
    "_WIN32 _WIN64 WIN32 _WINDOWS __linux__ __linux __gnu_linux__ __unix__ __unix __APPLE__ __MACH__ "
    "_MSC_VER __MINGW32__ __MINGW64__ __CYGWIN__ __FreeBSD__ __ANDROID__ _POSIX_VERSION"
).split()
CONDITIONAL = re.compile(
    r"^\s*#\s*(if|ifdef|ifndef|elif|elifdef|elifndef)\b.*\b(" + "|".join(map(re.escape, MACROS)) + r")\b"
)


def conditionals(root):
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            name = path.relative_to(root).as_posix()
            if path.suffix not in SUFFIXES or not path.is_file() or name.startswith(ALLOWED):
                continue
            lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, 1):
                if CONDITIONAL.search(line):
                    yield f"{name}:{number}: {line.strip()}"


def main():
    found = list(conditionals(pathlib.Path(sys.argv[1])))
    if found:
        print("Operating-system conditionals outside runtime/platform and the Win32 window layer:")
        print("\n".join(found))
        return 1
    print("No operating-system conditional outside runtime/platform and the Win32 window layer")
    return 0


if __name__ == "__main__":
    sys.exit(main())
