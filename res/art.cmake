# The artwork: PNG images by numeric id (":/png/129") and the bitmaps
# (":/bmp/189"), rendered from the SVG drawings in art/ by art/make_art.py.
list(APPEND ORVO_UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/resources.qrc)
