# tarnwick-ctl: the command-line client of the desktop socket. It shares the socket's path
# and line I/O with the program, and nothing else, so it links no window system.
add_executable(tarnwick-ctl ${CMAKE_CURRENT_LIST_DIR}/ctl.cpp
               ${PROJECT_SOURCE_DIR}/platform/host/desktop_socket.cpp)
target_include_directories(tarnwick-ctl PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tarnwick-ctl PRIVATE nlohmann_json::nlohmann_json)
install(TARGETS tarnwick-ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
