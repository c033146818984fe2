# The browser build: stormglass2.js and stormglass2.wasm, loaded by web/index.html.
# The page owns the loop (one turn per animation frame), so nothing waits on its thread; nothing
# needs threads, so the page needs no cross-origin isolation.
target_link_options(stormglass2 PRIVATE
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
    -sMODULARIZE=1 -sEXPORT_NAME=createStormglass
    -sEXIT_RUNTIME=1 -sEXPORTED_RUNTIME_METHODS=FS
    -sENVIRONMENT=web,node)
set_target_properties(stormglass2 PROPERTIES SUFFIX .js)
