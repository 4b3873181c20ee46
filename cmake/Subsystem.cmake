# One static library per subsystem folder, made of the folder's sources.
# All of them are linked as one group, since the subsystems call each other both ways.
set_property(GLOBAL PROPERTY TW_LIBRARIES "")

function(tw_subsystem name)
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    list(FILTER _src EXCLUDE REGEX "/win_main\\.cpp$")
    if(NOT _src)
        return()
    endif()
    add_library(tw_${name} STATIC ${_src})
    target_include_directories(tw_${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(tw_${name} PUBLIC dep_expat dep_jpeg dep_png dep_sqlite)
    set_property(GLOBAL APPEND PROPERTY TW_LIBRARIES tw_${name})
endfunction()

function(tw_finish_libraries)
    get_property(_libs GLOBAL PROPERTY TW_LIBRARIES)
    add_library(tw_all INTERFACE)
    target_include_directories(tw_all INTERFACE ${PROJECT_SOURCE_DIR})
    string(REPLACE ";" "," _group "${_libs}")
    target_link_libraries(tw_all INTERFACE "$<LINK_GROUP:RESCAN,${_group}>"
        dep_expat dep_jpeg dep_png dep_sqlite
        comctl32 comdlg32 gdi32 user32 kernel32 advapi32 shell32 ole32 oleaut32 uuid winmm msimg32 version)
endfunction()
