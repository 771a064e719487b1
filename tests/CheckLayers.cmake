# Fails when a file of the core includes a widget, D-Bus, ALSA, sound-file or
# device header, or a header of the layers above it.
file(GLOB_RECURSE core_files ${SOURCE_DIR}/core/*.h ${SOURCE_DIR}/core/*.cpp)
set(forbidden
    "#include [<\"](QtWidgets/|QtGui/|QtDBus/|QtPrintSupport/)"
    "#include [<\"]Q(Widget|Dialog|Application|GuiApplication|DBus[A-Za-z]*|Painter|Pixmap|Image|Printer)[>\"]"
    "#include [<\"](alsa/|sndfile|sys/ioctl|termios|fcntl)"
    "#include \"(gui|system|app|cli)/")
set(failures "")
foreach(file IN LISTS core_files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        # The storage folder opens files without blocking (O_NONBLOCK), so that a
        # named pipe in place of a data file cannot hang a reader.
        if(file MATCHES "/core/storage/" AND line MATCHES "#include <fcntl\\.h>")
            continue()
        endif()
        foreach(pattern IN LISTS forbidden)
            if(line MATCHES "${pattern}")
                string(APPEND failures "${file}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()
file(GLOB_RECURSE system_files ${SOURCE_DIR}/system/*.h ${SOURCE_DIR}/system/*.cpp)
foreach(file IN LISTS system_files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include \"(gui|app)/")
    foreach(line IN LISTS lines)
        string(APPEND failures "${file}: ${line}\n")
    endforeach()
endforeach()
# The command line stands on the core alone: no window, no system seam.
file(GLOB_RECURSE cli_files ${SOURCE_DIR}/cli/*.h ${SOURCE_DIR}/cli/*.cpp)
foreach(file IN LISTS cli_files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include (\"(gui|system|app)/|[<\"](QtWidgets/|QtDBus/|QWidget|QApplication))")
    foreach(line IN LISTS lines)
        string(APPEND failures "${file}: ${line}\n")
    endforeach()
endforeach()
if(failures)
    message(FATAL_ERROR "Layer rules broken:\n${failures}")
endif()
