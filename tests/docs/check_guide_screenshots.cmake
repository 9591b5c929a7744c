# The screenshots of docs/images are those the window tests saved in this build:
# each one exists among them with the same size in pixels. A window that was
# renamed or changed its layout shows here; scripts/refresh-guide-images copies
# the new pictures.
cmake_minimum_required(VERSION 3.25)
file(GLOB shown ${IMAGES}/*.png)
if(NOT shown)
    message(FATAL_ERROR "No screenshots in ${IMAGES}")
endif()

# Width and height from the PNG header, as hexadecimal text.
function(png_size path result)
    file(READ ${path} size OFFSET 16 LIMIT 8 HEX)
    set(${result} "${size}" PARENT_SCOPE)
endfunction()

set(stale)
foreach(image IN LISTS shown)
    get_filename_component(name ${image} NAME)
    if(NOT EXISTS ${SCREENSHOTS}/${name})
        list(APPEND stale "${name} (no window test saves it)")
        continue()
    endif()
    png_size(${image} committed)
    png_size(${SCREENSHOTS}/${name} fresh)
    if(NOT committed STREQUAL fresh)
        list(APPEND stale "${name} (the window's size changed)")
    endif()
endforeach()
if(stale)
    string(REPLACE ";" "\n  " stale "${stale}")
    message(FATAL_ERROR "Screenshots of the guide differ from the windows:\n  ${stale}\n"
                        "Run scripts/refresh-guide-images after the window tests.")
endif()
