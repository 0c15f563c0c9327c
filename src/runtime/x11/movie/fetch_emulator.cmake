# cmake -DNPM=... -DSOURCE=... -DWORK=... -DDEST=... -P fetch_emulator.cmake
# Installs the emulator's pinned npm package (the lock file checks its hash) in WORK and copies
# what the view loads, with its licence texts, to DEST.
file(COPY ${SOURCE}/package.json ${SOURCE}/package-lock.json DESTINATION ${WORK})
execute_process(COMMAND ${NPM} ci --no-audit --no-fund --loglevel=error
                WORKING_DIRECTORY ${WORK} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${DEST})
file(COPY ${WORK}/node_modules/@ruffle-rs/ruffle/ DESTINATION ${DEST}
     FILES_MATCHING PATTERN "*.js" PATTERN "*.wasm" PATTERN "LICENSE*")
# The package ships no licence for the font inside its wasm; ours names it.
file(COPY ${SOURCE}/LICENSE_NOTO_SANS_OFL.txt DESTINATION ${DEST})
