# Reads the guide into the list GUIDE_LINES, one entry per line; a ";" of the
# text is kept as the placeholder <semicolon> so that no line is split.
function(read_guide_lines path)
    file(READ ${path} text)
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(GUIDE_LINES "${lines}" PARENT_SCOPE)
endfunction()
