# Makes one demo clip with gst-launch-1.0.
#   cmake -DGST_LAUNCH=<path> -DGST_INSPECT=<path> -DPIPELINE=<pipeline without sink>
#         -DOUTPUT=<file> -P MakeClip.cmake
# The pipeline's last chain ends in the element whose output is the file; a
# file sink is added after it. Every
# element the pipeline names is checked first, so that a missing plug-in
# stops the build with a message saying what to install. The clip is
# written under a temporary name and renamed, so a failed run leaves
# nothing that would count as made.
foreach(var GST_LAUNCH GST_INSPECT PIPELINE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeClip.cmake: ${var} is not set")
  endif()
endforeach()
get_filename_component(clip ${OUTPUT} NAME)
if(NOT GST_LAUNCH OR NOT GST_INSPECT)
  message(FATAL_ERROR "demo clip ${clip}: gst-launch-1.0 or gst-inspect-1.0 is missing; "
                      "install gstreamer1.0-tools (scripts/install-deps) and configure again")
endif()

separate_arguments(pipeline UNIX_COMMAND "${PIPELINE}")
foreach(token IN LISTS pipeline)
  # Element names are the words that are neither links, caps, properties
  # nor references to a named element ("mux.").
  if(token STREQUAL "!" OR token MATCHES "[=/]" OR token MATCHES "\\.$")
    continue()
  endif()
  execute_process(COMMAND ${GST_INSPECT} --exists ${token} RESULT_VARIABLE missing)
  if(missing)
    message(FATAL_ERROR "demo clip ${clip}: the GStreamer element '${token}' is missing; it comes "
                        "with gstreamer1.0-plugins-base or -good (scripts/install-deps)")
  endif()
endforeach()

get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
set(part ${OUTPUT}.part)
execute_process(
  COMMAND ${GST_LAUNCH} -q ${pipeline} ! filesink "location=${part}"
  RESULT_VARIABLE failed
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log)
if(NOT failed AND EXISTS ${part})
  file(SIZE ${part} size)
endif()
if(failed OR NOT size)
  file(REMOVE ${part})
  message(FATAL_ERROR "demo clip ${clip}: gst-launch-1.0 failed:\n${log}")
endif()
file(RENAME ${part} ${OUTPUT})
