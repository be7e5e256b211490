"""Builds a small YOLOv8-seg-shaped ONNX network from a JSON description, for the tests.

Usage: make_yolo_seg_onnx.py DESCRIPTION.json OUTPUT.onnx

The description gives the input size, the number of classes and the candidates. Each candidate
has a corner box in input pixels ("box": [x, y, width, height]), a "label" and either a constant
"score" or a "pixel" [channel, x, y]: its score for that label is then the network input's value
there, so the network reads the letterboxed frame the way a trained one does. Every other class
score is 0. With "prototypes" false the network has no prototype output.

Prototypes: 32 at stride 4; prototype 0 is the mean of the input's channel 0 (red) over each
4 x 4 cell minus 0.5, the others are 0, and every candidate's mask coefficients are
(10, 0, ..., 0): a mask covers the red (> 0.5) parts of its box.

Outputs come in the order prototypes, detections, so that readers relying on the order fail.
Only operators that OpenCV's ONNX importer handles are used: Conv, Reshape, Concat.
"""

import json
import sys

import numpy as np
import onnx
from onnx import helper, numpy_helper

from onnx_graph import (
    NUM_PROTOTYPES, PROTOTYPE_STRIDE as STRIDE, detections_output, finish_model,
    prototypes_output)

COEFFICIENT = 10.0


def build(description):
    width = description["input_width"]
    height = description["input_height"]
    num_classes = description["num_classes"]
    candidates = description["candidates"]
    count = len(candidates)

    boxes = np.zeros((1, 4, count), np.float32)
    score_weights = np.zeros((num_classes * count, 3, height, width), np.float32)
    score_bias = np.zeros(num_classes * count, np.float32)
    for n, candidate in enumerate(candidates):
        x, y, w, h = candidate["box"]
        boxes[0, :, n] = (x + w / 2, y + h / 2, w, h)
        # Conv output channel (class, candidate) is reshaped to row class, column candidate.
        out = candidate["label"] * count + n
        if "pixel" in candidate:
            channel, px, py = candidate["pixel"]
            score_weights[out, channel, py, px] = 1.0
        else:
            score_bias[out] = candidate["score"]
    coefficients = np.zeros((1, NUM_PROTOTYPES, count), np.float32)
    coefficients[0, 0, :] = COEFFICIENT

    initializers = [
        numpy_helper.from_array(boxes, "boxes"),
        numpy_helper.from_array(score_weights, "score_weights"),
        numpy_helper.from_array(score_bias, "score_bias"),
        numpy_helper.from_array(np.array([1, num_classes, count], np.int64), "score_shape"),
        numpy_helper.from_array(coefficients, "coefficients"),
    ]
    nodes = [
        helper.make_node(
            "Conv", ["images", "score_weights", "score_bias"], ["scores_4d"],
            kernel_shape=[height, width]),
        helper.make_node("Reshape", ["scores_4d", "score_shape"], ["scores"]),
        helper.make_node(
            "Concat", ["boxes", "scores", "coefficients"], ["output0"], axis=1),
    ]
    outputs = []
    if description.get("prototypes", True):
        proto_weights = np.zeros((NUM_PROTOTYPES, 3, STRIDE, STRIDE), np.float32)
        proto_weights[0, 0] = 1.0 / (STRIDE * STRIDE)
        proto_bias = np.zeros(NUM_PROTOTYPES, np.float32)
        proto_bias[0] = -0.5
        initializers += [
            numpy_helper.from_array(proto_weights, "proto_weights"),
            numpy_helper.from_array(proto_bias, "proto_bias"),
        ]
        nodes.append(helper.make_node(
            "Conv", ["images", "proto_weights", "proto_bias"], ["output1"],
            kernel_shape=[STRIDE, STRIDE], strides=[STRIDE, STRIDE]))
        outputs.append(prototypes_output("output1", height, width))
    outputs.append(detections_output("output0", num_classes, count))
    return finish_model(
        "yolo_seg_test", nodes, "images", [1, 3, height, width], outputs, initializers)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as f:
        description = json.load(f)
    onnx.save(build(description), sys.argv[2])


if __name__ == "__main__":
    main()
