"""Starts the arm trash detection node with its logging settings."""

from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument, SetEnvironmentVariable
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node

LOGGING_VARIABLES = (
    ("SPDLOG_STDOUT", "true", "write log lines to the console: true or false"),
    ("SPDLOG_SYSTEMD", "false", "write log lines to the systemd journal: true or false"),
    ("SPDLOG_LEVEL", "info", "trace, debug, info, warning, error or critical"),
)


def generate_launch_description():
    actions = []
    for name, default, description in LOGGING_VARIABLES:
        actions.append(DeclareLaunchArgument(name, default_value=default, description=description))
        actions.append(SetEnvironmentVariable(name, LaunchConfiguration(name)))
    actions.append(
        Node(
            package="orvanite_arm_trash_detect",
            executable="orvanite_arm_trash_detect_node",
            output="screen",
        )
    )
    return LaunchDescription(actions)
