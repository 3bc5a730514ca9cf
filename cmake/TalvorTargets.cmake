# Helpers shared by every folder's CMakeLists.txt.

# talvor_add_test_suite(<name> <variant> <dir>...)
#   One GoogleTest executable per source folder: every *.cpp under the given
#   folders (relative to tests/) is compiled in, so adding a test is adding a file.
#   <variant> is talvordb (multi-thread) or talvordb_st (single-thread).
#   The tests find their fixture files through TALVOR_TEST_DATA, which names
#   the folder data/ beside the suite's first source folder.
function(talvor_add_test_suite name variant)
  list(GET ARGN 0 first_dir)
  set(sources)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${variant} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1;TALVOR_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/${first_dir}/data"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
