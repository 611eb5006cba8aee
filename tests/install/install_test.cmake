# cmake -P script: install, build the consumer two ways, run everything installed.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_output expected)
  if(NOT last_output STREQUAL expected)
    message(FATAL_ERROR "expected:\n${expected}\ngot:\n${last_output}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(installed
    bin/halvane-host
    ${LIBDIR}/halvane/RadioModules/Halvane/Radio_IO.so
    include/halvane/dm_radio.h
    include/halvane/dispatch.h
    include/halvane/driver_contract.h)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
file(GLOB_RECURSE pc_files ${prefix}/*/halvane.pc)
file(GLOB_RECURSE config_files ${prefix}/*/HalvaneConfig.cmake)
if(NOT pc_files OR NOT config_files)
  message(FATAL_ERROR "no halvane.pc or HalvaneConfig.cmake under ${prefix}")
endif()

# Nothing from the build tree or the user's registry may leak into the installed programs.
set(ENV{HALVANE_CLASS_REGISTRY} ${WORK_DIR}/classes.reg)
set(ENV{HALVANE_STATIONS} "")
set(ENV{LD_LIBRARY_PATH} "")

# find_package(Halvane)
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
  "-DCMAKE_CXX_FLAGS=${EXTRA_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${EXTRA_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${WORK_DIR}/consumer/tiny_host)
expect_output("Halvane 600 ready 8750\n")

# pkg-config
get_filename_component(pc_dir ${pc_files} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(pkg-config --modversion halvane)
expect_output("1.0.0\n")
run(pkg-config --cflags --libs halvane)
string(STRIP "${last_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${EXTRA_FLAGS}")
run(${CXX_COMPILER} ${extra} "-DHALVANE_HOST_DIR=\"${prefix}/${LIBDIR}/halvane/\""
  ${CONSUMER_DIR}/tiny_host.cc -o ${WORK_DIR}/tiny_host_pc ${pc_flags})
run(${WORK_DIR}/tiny_host_pc)
expect_output("Halvane 600 ready 8750\n")

# The installed reference host finds its plug-in and, in the driver's folder, the simulated tuner.
file(WRITE ${WORK_DIR}/script.batch "create\nname\nstart\ncheck\nactive true\nfreq\n")
run(${prefix}/bin/halvane-host --batch --home ${WORK_DIR}/home INPUT_FILE ${WORK_DIR}/script.batch)
expect_output("ok\n\"Halvane 600\"\nok\ntrue\nok\n8750\n")
