"""What the generated test networks share: the output layout and how a graph becomes a model.

The opset and IR version are those OpenCV 4.5 and 4.6 import reliably; every generator of this
folder goes through finish_model so that they stay the same.
"""

import onnx
from onnx import TensorProto, helper

NUM_PROTOTYPES = 32
PROTOTYPE_STRIDE = 4
OPSET = 11
IR_VERSION = 7


def float_tensor(name, shape):
    return helper.make_tensor_value_info(name, TensorProto.FLOAT, list(shape))


def detections_output(name, num_classes, candidates):
    """1 x (4 box values + class scores + mask coefficients) x candidates."""
    return float_tensor(name, [1, 4 + num_classes + NUM_PROTOTYPES, candidates])


def prototypes_output(name, input_height, input_width):
    return float_tensor(
        name,
        [1, NUM_PROTOTYPES, input_height // PROTOTYPE_STRIDE, input_width // PROTOTYPE_STRIDE])


def finish_model(name, nodes, input_name, input_shape, outputs, initializers):
    """A checked model of one float input with the given nodes, outputs and weights."""
    graph = helper.make_graph(
        nodes, name, [float_tensor(input_name, input_shape)], outputs, initializers)
    model = helper.make_model(graph, opset_imports=[helper.make_opsetid("", OPSET)])
    model.ir_version = IR_VERSION
    onnx.checker.check_model(model)
    return model
