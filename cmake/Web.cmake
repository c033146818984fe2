# The browser build: stormglass2.js and stormglass2.wasm, loaded by web/index.html.
# Waits in the frame pacer give the browser its turn (Asyncify saves and resumes the stack);
# nothing needs threads, so the page needs no cross-origin isolation.
target_link_options(stormglass2 PRIVATE
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
    -sMODULARIZE=1 -sEXPORT_NAME=createStormglass
    -sEXIT_RUNTIME=1 -sEXPORTED_RUNTIME_METHODS=FS
    -sENVIRONMENT=web,node)
set_target_properties(stormglass2 PROPERTIES SUFFIX .js)
