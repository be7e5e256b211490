# The header-only conversions need PCL's common module; hand its include directories and
# libraries to consumers through the package's exported variables. /usr/include is left out:
# as a -isystem directory it would break the compiler's own #include_next chain.
find_package(PCL REQUIRED COMPONENTS common)
set(_pcl_conversions_pcl_dirs ${PCL_INCLUDE_DIRS})
list(REMOVE_ITEM _pcl_conversions_pcl_dirs /usr/include)
list(APPEND pcl_conversions_INCLUDE_DIRS ${_pcl_conversions_pcl_dirs})
list(APPEND pcl_conversions_LIBRARIES ${PCL_LIBRARIES})
