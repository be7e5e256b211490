"""Checks that the launch file is valid Python naming the package, executable and log settings."""

import ast
import sys

REQUIRED = (
    "orvanite_arm_trash_detect",
    "orvanite_arm_trash_detect_node",
    "SPDLOG_STDOUT",
    "SPDLOG_SYSTEMD",
    "SPDLOG_LEVEL",
)


def main(path):
    with open(path, encoding="utf-8") as launch_file:
        source = launch_file.read()
    tree = ast.parse(source, filename=path)
    strings = {node.value for node in ast.walk(tree) if isinstance(node, ast.Constant)}
    functions = {node.name for node in ast.walk(tree) if isinstance(node, ast.FunctionDef)}
    missing = [name for name in REQUIRED if name not in strings]
    if "generate_launch_description" not in functions:
        missing.append("generate_launch_description()")
    if missing:
        print(f"{path}: missing {', '.join(missing)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
