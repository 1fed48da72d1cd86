# The app process: one running copy, emptying the request on termination signals.
target_sources(tarrow_platform PRIVATE single_instance.cpp termination.cpp)
