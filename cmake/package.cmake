# Makes the release artefacts from the built program, MirthStrip.exe and the MAPI helpers: a
# portable zip and the installer. cmake -DVERSION=... -DSOURCE_DIR=... -DBIN_DIR=... -DOUT_DIR=... -P package.cmake
set(stage ${OUT_DIR}/stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
foreach(program MirthTool.exe MirthStrip.exe MirthMapi64.exe MirthMapi32.exe)
    file(COPY_FILE ${BIN_DIR}/${program} ${stage}/${program})
endforeach()
file(COPY_FILE ${SOURCE_DIR}/resources/MirthZud.htm ${stage}/MirthZud.htm)
file(COPY_FILE ${SOURCE_DIR}/release/README.txt ${stage}/README.txt)
file(COPY_FILE ${SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt)

set(zip ${OUT_DIR}/MirthTool-${VERSION}-portable.zip)
file(REMOVE ${zip})
execute_process(COMMAND zip -q -X ${zip} MirthTool.exe MirthStrip.exe MirthMapi64.exe MirthMapi32.exe MirthZud.htm
                        README.txt
                        LICENSE.txt
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "zip failed")
endif()

execute_process(COMMAND makensis -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DSTAGE=${stage}
                        -DOUTFILE=${OUT_DIR}/MirthTool-${VERSION}-setup.exe
                        -DICON=${SOURCE_DIR}/resources/mirthtool.ico
                        ${SOURCE_DIR}/release/mirthtool.nsi
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "makensis failed")
endif()
