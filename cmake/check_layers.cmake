# Fails when a file of a folder of the program, at any depth, includes a
# header of a folder above it.
# Layers, lowest first: rules < actions < events < ui < app; common/ is the
# ground anything may include but rules/, which knows no window system; the
# hook library sees only its own API and the message numbers.
#   cmake -DSOURCE_DIR=<tree> -P check_layers.cmake
set(allowed_rules   "rules")
set(allowed_common  "common")
set(allowed_actions "rules|common|actions")
set(allowed_events  "rules|common|actions|events")
set(allowed_ui      "rules|common|actions|events|ui")
set(allowed_app     "rules|common|actions|events|ui|app|hook/hook_api\\.h")
set(allowed_hook    "hook|common/messages\\.h")

set(folders "rules|common|actions|events|ui|app|hook|tests|bench")
set(wrong "")
foreach(folder rules common actions events ui app hook)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp
                              ${SOURCE_DIR}/${folder}/*.rc)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" header "${line}")
            if(folder STREQUAL "app" AND header STREQUAL "../common/resource.h")
                continue()  # brask2.rc names it relative to itself
            endif()
            # A system header in angle brackets is no folder of ours.
            if(line MATCHES "include[ \t]*<" AND NOT header MATCHES "^(${folders})/")
                continue()
            endif()
            if(header MATCHES "\\.\\." OR NOT header MATCHES "^(${allowed_${folder}})(/|$)")
                file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
                string(APPEND wrong "\n  ${name}: ${header}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(wrong)
    message(FATAL_ERROR "includes that point above their folder:${wrong}")
endif()
