# The portable fake tool: copied into fixture installations under the names of QEMU, wget,
# 7-Zip and the accelerator tools; logs its command line and obeys its action file.
add_executable(fake_tool ${CMAKE_CURRENT_LIST_DIR}/fake_tool.cpp)
target_compile_options(fake_tool PRIVATE ${QH_WARNINGS})
target_link_libraries(fake_tool PRIVATE qh_main_func)
# The main_func unit tests run it.
if(TARGET main_func_tests)
  add_dependencies(main_func_tests fake_tool)
endif()
