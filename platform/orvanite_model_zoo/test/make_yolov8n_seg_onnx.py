"""Builds a YOLOv8n-seg network of the published layer structure with random weights.

Usage: make_yolov8n_seg_onnx.py OUTPUT.onnx

Input 1 x 3 x 640 x 640, 23 classes. Layers as the nano segmentation model has them after
export, batch norm folded into the convolutions: Conv + Sigmoid + Mul blocks, C2f blocks, SPPF,
the upsampling and concatenating neck, and the segmentation head with box regression decoded by
distribution focal loss (softmax over 16 bins per side), class scores, mask coefficients and the
prototype branch. Outputs: "output0" 1 x 59 x 8400 (centre x, centre y, width, height in input
pixels, 23 class probabilities, 32 mask coefficients) and "output1" 1 x 32 x 160 x 160.

The weights are random with a fixed seed, scaled by the fan-in so that activations stay of order
one, and the class biases are those the model starts training with: every output is finite and
no class probability comes near a detection threshold. It costs what a trained network of the
same structure costs: about 3.3 M parameters and 12 GFLOPs.
"""

import sys

import numpy as np
import onnx
from onnx import helper, numpy_helper

from onnx_graph import (
    NUM_PROTOTYPES, detections_output, finish_model, prototypes_output)

INPUT_SIDE = 640
NUM_CLASSES = 23
STRIDES = (8, 16, 32)
# Bins per box side of the distribution focal loss.
REG_MAX = 16
SEED = 20240611


class Graph:
    """Collects nodes and initialisers; each block method returns its output's name."""

    def __init__(self, seed):
        self.rng = np.random.default_rng(seed)
        self.nodes = []
        self.initializers = []
        self.count = 0

    def _name(self, kind):
        self.count += 1
        return f"{kind}_{self.count}"

    def constant(self, array, kind="const"):
        name = self._name(kind)
        self.initializers.append(numpy_helper.from_array(array, name))
        return name

    def node(self, op, inputs, **attributes):
        output = self._name(op.lower())
        self.nodes.append(helper.make_node(op, inputs, [output], **attributes))
        return output

    def nodes_out(self, op, inputs, count, **attributes):
        outputs = [self._name(op.lower()) for _ in range(count)]
        self.nodes.append(helper.make_node(op, inputs, outputs, **attributes))
        return outputs

    def conv2d(self, x, c_in, c_out, k=1, s=1, bias=None):
        """A plain convolution, "same" padding for odd kernels; random biases unless one is
        given for every channel."""
        std = 1.0 / np.sqrt(c_in * k * k)
        weights = self.rng.normal(0.0, std, (c_out, c_in, k, k)).astype(np.float32)
        if bias is None:
            biases = self.rng.normal(0.0, 0.1, c_out).astype(np.float32)
        else:
            biases = np.full(c_out, bias, np.float32)
        return self.node(
            "Conv", [x, self.constant(weights, "w"), self.constant(biases, "b")],
            kernel_shape=[k, k], strides=[s, s], pads=[k // 2] * 4)

    def conv(self, x, c_in, c_out, k=1, s=1):
        """Convolution with batch norm folded in, then SiLU as x * sigmoid(x)."""
        y = self.conv2d(x, c_in, c_out, k, s)
        return self.node("Mul", [y, self.node("Sigmoid", [y])])

    def concat(self, inputs, axis=1):
        return self.node("Concat", inputs, axis=axis)

    def split(self, x, sizes, axis=1):
        return self.nodes_out("Split", [x], len(sizes), axis=axis, split=list(sizes))

    def reshape(self, x, shape):
        return self.node("Reshape", [x, self.constant(np.array(shape, np.int64), "shape")])

    def upsample(self, x):
        """Nearest-neighbour doubling, as exported from nn.Upsample."""
        roi = self.constant(np.zeros(0, np.float32), "roi")
        scales = self.constant(np.array([1, 1, 2, 2], np.float32), "scales")
        return self.node(
            "Resize", [x, roi, scales], mode="nearest",
            coordinate_transformation_mode="asymmetric", nearest_mode="floor")

    def bottleneck(self, x, c, shortcut):
        y = self.conv(self.conv(x, c, c, 3), c, c, 3)
        return self.node("Add", [x, y]) if shortcut else y

    def c2f(self, x, c_in, c_out, n, shortcut):
        c = c_out // 2
        parts = self.split(self.conv(x, c_in, 2 * c), (c, c))
        for _ in range(n):
            parts.append(self.bottleneck(parts[-1], c, shortcut))
        return self.conv(self.concat(parts), (2 + n) * c, c_out)

    def sppf(self, x, c_in, c_out, k=5):
        c = c_in // 2
        parts = [self.conv(x, c_in, c)]
        for _ in range(3):
            parts.append(self.node(
                "MaxPool", [parts[-1]], kernel_shape=[k, k], strides=[1, 1], pads=[k // 2] * 4))
        return self.conv(self.concat(parts), 4 * c, c_out)

    def proto(self, x, c_in, c_mid, c_out):
        y = self.conv(x, c_in, c_mid, 3)
        std = 1.0 / np.sqrt(c_mid * 4)
        weights = self.rng.normal(0.0, std, (c_mid, c_mid, 2, 2)).astype(np.float32)
        bias = self.rng.normal(0.0, 0.1, c_mid).astype(np.float32)
        y = self.node(
            "ConvTranspose", [y, self.constant(weights, "w"), self.constant(bias, "b")],
            kernel_shape=[2, 2], strides=[2, 2])
        y = self.conv(y, c_mid, c_mid, 3)
        return self.conv(y, c_mid, c_out)

    def branch(self, x, c_in, c_mid, c_out, final_bias=None):
        """Two 3 x 3 blocks and a 1 x 1 convolution, flattened to 1 x c_out x cells."""
        y = self.conv(self.conv(x, c_in, c_mid, 3), c_mid, c_mid, 3)
        return self.reshape(self.conv2d(y, c_mid, c_out, bias=final_bias), [1, c_out, -1])

    def dfl(self, x, cells):
        """1 x 64 x cells distance logits -> 1 x 4 x cells expected distances in bins."""
        y = self.reshape(x, [1, 4, REG_MAX, cells])
        # Softmax over the last axis means the same in every opset.
        y = self.node("Softmax", [self.node("Transpose", [y], perm=[0, 1, 3, 2])], axis=3)
        y = self.node("Transpose", [y], perm=[0, 3, 1, 2])
        bins = np.arange(REG_MAX, dtype=np.float32).reshape(1, REG_MAX, 1, 1)
        y = self.node("Conv", [y, self.constant(bins, "bins")], kernel_shape=[1, 1])
        return self.reshape(y, [1, 4, cells])


def anchors(side):
    """Cell centres (in cells), 1 x 2 x candidates, and strides, 1 x 4 x candidates: OpenCV
    4.6 multiplies by a constant only when it has the full shape of the other operand."""
    points, strides = [], []
    for stride in STRIDES:
        cells = side // stride
        ys, xs = np.meshgrid(np.arange(cells) + 0.5, np.arange(cells) + 0.5, indexing="ij")
        points.append(np.stack([xs.ravel(), ys.ravel()]))
        strides.append(np.full(cells * cells, stride))
    return (np.concatenate(points, 1)[None].astype(np.float32),
            np.tile(np.concatenate(strides), (1, 4, 1)).astype(np.float32))


def build():
    g = Graph(SEED)
    # Backbone, widths of the nano scale.
    x = g.conv("images", 3, 16, 3, 2)
    x = g.conv(x, 16, 32, 3, 2)
    x = g.c2f(x, 32, 32, 1, True)
    x = g.conv(x, 32, 64, 3, 2)
    p3 = g.c2f(x, 64, 64, 2, True)
    x = g.conv(p3, 64, 128, 3, 2)
    p4 = g.c2f(x, 128, 128, 2, True)
    x = g.conv(p4, 128, 256, 3, 2)
    x = g.c2f(x, 256, 256, 1, True)
    p5 = g.sppf(x, 256, 256)
    # Neck: top-down, then bottom-up.
    n4 = g.c2f(g.concat([g.upsample(p5), p4]), 384, 128, 1, False)
    n3 = g.c2f(g.concat([g.upsample(n4), p3]), 192, 64, 1, False)
    n4 = g.c2f(g.concat([g.conv(n3, 64, 64, 3, 2), n4]), 192, 128, 1, False)
    n5 = g.c2f(g.concat([g.conv(n4, 128, 128, 3, 2), p5]), 384, 256, 1, False)
    features = [(n3, 64, 8), (n4, 128, 16), (n5, 256, 32)]

    # Head: per scale box bins, class logits and mask coefficients, candidates concatenated.
    c_box = max(16, 64 // 4, REG_MAX * 4)
    c_cls = max(64, min(NUM_CLASSES, 100))
    c_mask = max(64 // 4, NUM_PROTOTYPES)
    boxes, scores, coefficients = [], [], []
    for x, c, stride in features:
        boxes.append(g.branch(x, c, c_box, 4 * REG_MAX))
        # The initial class bias: about 5 objects per image spread over the classes and cells.
        class_bias = np.log(5 / NUM_CLASSES / (INPUT_SIDE / stride) ** 2)
        scores.append(g.branch(x, c, c_cls, NUM_CLASSES, class_bias))
        coefficients.append(g.branch(x, c, c_mask, NUM_PROTOTYPES))
    cells = sum((INPUT_SIDE // s) ** 2 for s in STRIDES)

    distances = g.dfl(g.concat(boxes, 2), cells)
    left_top, right_bottom = g.split(distances, (2, 2))
    points, strides = anchors(INPUT_SIDE)
    points = g.constant(points, "anchors")
    top_left = g.node("Sub", [points, left_top])
    bottom_right = g.node("Add", [points, right_bottom])
    centre = g.node(
        "Mul", [g.node("Add", [top_left, bottom_right]),
                g.constant(np.array([0.5], np.float32))])
    size = g.node("Sub", [bottom_right, top_left])
    box = g.node("Mul", [g.concat([centre, size]), g.constant(strides, "strides")])
    probabilities = g.node("Sigmoid", [g.concat(scores, 2)])
    detections = g.concat([box, probabilities, g.concat(coefficients, 2)])
    prototypes = g.proto(n3, 64, 64, NUM_PROTOTYPES)

    g.nodes.append(helper.make_node("Identity", [detections], ["output0"]))
    g.nodes.append(helper.make_node("Identity", [prototypes], ["output1"]))
    outputs = [detections_output("output0", NUM_CLASSES, cells),
               prototypes_output("output1", INPUT_SIDE, INPUT_SIDE)]
    return finish_model(
        "yolov8n_seg_random", g.nodes, "images", [1, 3, INPUT_SIDE, INPUT_SIDE], outputs,
        g.initializers)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    onnx.save(build(), sys.argv[1])


if __name__ == "__main__":
    main()
