# The header-only conversions need PCL's common module; hand its include directories and
# libraries to consumers through the package's exported variables.
find_package(PCL REQUIRED COMPONENTS common)
list(APPEND pcl_conversions_INCLUDE_DIRS ${PCL_INCLUDE_DIRS})
list(APPEND pcl_conversions_LIBRARIES ${PCL_LIBRARIES})
