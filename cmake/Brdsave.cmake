# Build helpers of the library brdsave.dll: its type library compiled from IDL, and the DLL itself.
set(BRDSAVE_DIR ${CMAKE_SOURCE_DIR}/brdsave CACHE INTERNAL "")
if(NOT MSVC)
    # widl, the system IDL files it imports (oaidl.idl, ocidl.idl) and the OLE type library it
    # reads (stdole2.tlb), wherever this machine's Wine development files put them.
    find_program(BRD_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
    # On Windows itself (MSYS2's MinGW) the IDL files come with the compiler and stdole2.tlb is in
    # the system folder.
    find_path(BRD_IDL_INCLUDE_DIR oaidl.idl
        PATH_SUFFIXES include/wine/wine/windows include/wine/windows include
        PATHS /usr /usr/local /opt/wine $ENV{MINGW_PREFIX}
        NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    find_file(BRD_STDOLE2_TLB stdole2.tlb
        PATH_SUFFIXES lib/x86_64-linux-gnu/wine/x86_64-windows lib/wine/x86_64-windows lib64/wine/x86_64-windows
                      lib/x86_64-linux-gnu/wine lib/wine lib64/wine System32
        PATHS /usr /usr/local /opt/wine $ENV{SystemRoot} C:/Windows
        NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    # Cached, so that every folder that compiles the IDL (the tests' older library too) sees it.
    get_filename_component(stdole_dir ${BRD_STDOLE2_TLB} DIRECTORY)
    set(BRD_STDOLE_DIR ${stdole_dir} CACHE INTERNAL "")
endif()

# The header, identifiers and type library compiled from the IDL into `gen`; `defines` are
# preprocessor definitions for the IDL (NAME=VALUE).
function(brd_compile_idl gen defines)
    set(idl ${BRDSAVE_DIR}/brdsave.idl)
    file(MAKE_DIRECTORY ${gen})
    set(d "")
    foreach(def ${defines})
        list(APPEND d "-D${def}")
    endforeach()
    if(MSVC)
        add_custom_command(
            OUTPUT ${gen}/brdsave.h ${gen}/brdsave_i.c ${gen}/brdsave.tlb
            COMMAND midl /nologo /env x64 /I ${BRDSAVE_DIR} ${d} /h brdsave.h /iid brdsave_i.c /tlb brdsave.tlb /out ${gen} ${idl}
            DEPENDS ${idl} ${BRDSAVE_DIR}/version.h
            COMMENT "Compiling the type library")
    else()
        set(flags --win64 -I${BRDSAVE_DIR} -I${BRD_IDL_INCLUDE_DIR} -L${BRD_STDOLE_DIR} ${d})
        # widl notes the time it made the type library in it; give it the source's time, in UTC,
        # so that two builds of one commit give the same bytes.
        set(widl ${CMAKE_COMMAND} -E env TZ=UTC WIDL_TIME_OVERRIDE=${BRD_SOURCE_EPOCH} ${BRD_WIDL})
        # The type library on its own, so that a new commit time rebuilds only it, not the header's users.
        add_custom_command(
            OUTPUT ${gen}/brdsave.h ${gen}/brdsave_i.c
            COMMAND ${BRD_WIDL} ${flags} -h -o ${gen}/brdsave.h ${idl}
            COMMAND ${BRD_WIDL} ${flags} -u -o ${gen}/brdsave_i.c ${idl}
            DEPENDS ${idl} ${BRDSAVE_DIR}/version.h
            COMMENT "Compiling the IDL's header")
        add_custom_command(
            OUTPUT ${gen}/brdsave.tlb
            COMMAND ${widl} ${flags} -t -o ${gen}/brdsave.tlb ${idl}
            DEPENDS ${idl} ${BRDSAVE_DIR}/version.h
            COMMENT "Compiling the type library")
    endif()
endfunction()

# The library as `name`.dll, with the type library compiled into `gen`.
function(brd_library name gen)
    file(GLOB sources CONFIGURE_DEPENDS ${BRDSAVE_DIR}/com/*.cpp)
    add_library(${name} SHARED ${sources} ${BRDSAVE_DIR}/brdsave.def ${BRDSAVE_DIR}/brdsave.rc ${gen}/brdsave.tlb
                ${gen}/brdsave.h)
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${gen})
    target_compile_definitions(${name} PRIVATE WINVER=0x0A00 _WIN32_WINNT=0x0A00 NOMINMAX)
    target_link_libraries(${name} PRIVATE brd_win brd_portable ole32 oleaut32 uuid advapi32 user32)
    # The resource compiler finds brdsave.tlb in the generated folder.
    set_property(SOURCE ${BRDSAVE_DIR}/brdsave.rc APPEND PROPERTY INCLUDE_DIRECTORIES ${gen})
    set_property(SOURCE ${BRDSAVE_DIR}/brdsave.rc APPEND PROPERTY OBJECT_DEPENDS ${gen}/brdsave.tlb)
endfunction()

