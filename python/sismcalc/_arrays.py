"""How every function of the package takes its arrays: one conversion, applied by the
decorator `converts` to the parameters hinted Floats, OptionalFloats or FloatMatrix.

By default any array-like of real numbers (list, tuple, numpy array of any integer or
floating dtype, pandas Series, ...) is converted to the contiguous float32 array the C
function takes; an array that already is one is used as it is, without a copy. With
strict=True only such an array is taken, and anything else is refused with ArrayTypeError
(a TypeError) naming the argument and the dtype it needs, so that no copy is ever made
silently.
"""

import functools
import inspect
from typing import Annotated, Optional, Sequence, Union

import numpy as np

ArrayLike = Union[np.ndarray, Sequence[float]]

# The hints the conversion looks for: one-dimensional, the same or None, two-dimensional.
Floats = Annotated[ArrayLike, "float32, one-dimensional"]
OptionalFloats = Optional[Floats]
FloatMatrix = Annotated[ArrayLike, "float32, two-dimensional (rows contiguous)"]
_DIMENSIONS = {Floats: 1, OptionalFloats: 1, FloatMatrix: 2}


class ArrayTypeError(TypeError, ValueError):
    """An array refused for its type, dtype or layout under strict=True (also a ValueError,
    which the package raised for it before strict=False became the default)."""


def _shape_words(ndim):
    return "one-dimensional" if ndim == 1 else f"{ndim}-dimensional"


def as_float32(name: str, a, strict: bool = False, ndim: int = 1) -> np.ndarray:
    """`a` as a contiguous float32 array of `ndim` dimensions. Raises ArrayTypeError for what
    is not numbers (or, strict, not already such an array) and ValueError for a wrong shape
    or for values float32 cannot hold."""
    if strict:
        if not isinstance(a, np.ndarray):
            raise ArrayTypeError(f"{name} must be a numpy array of float32, not {type(a).__name__} "
                                 f"(strict=True converts nothing)")
        if a.dtype != np.float32:
            raise ArrayTypeError(f"{name} must hold float32 values, not {a.dtype}; "
                                 f"numpy.asarray({name}, dtype=numpy.float32) converts it")
        if a.ndim != ndim:
            raise ValueError(f"{name} must be {_shape_words(ndim)}, not of shape {a.shape}")
        if not a.flags.c_contiguous:
            raise ArrayTypeError(f"{name} must be contiguous; numpy.ascontiguousarray({name}) copies it")
        return a
    if isinstance(a, np.ndarray) and a.dtype == np.float32 and a.flags.c_contiguous:
        if a.ndim != ndim:
            raise ValueError(f"{name} must be {_shape_words(ndim)}, not of shape {a.shape}")
        return a  # as it is: no copy
    try:
        src = np.asarray(a)
    except (TypeError, ValueError):
        raise ArrayTypeError(f"{name} must be numbers, not {type(a).__name__}") from None
    # Texts, booleans, complex numbers and objects would convert to something else.
    if src.dtype.kind not in "iuf":
        raise ArrayTypeError(f"{name} must be real numbers (float32 is what it needs), not {src.dtype}")
    if src.ndim != ndim:
        raise ValueError(f"{name} must be {_shape_words(ndim)}, not of shape {src.shape}")
    with np.errstate(over="ignore"):  # told below, as an error
        out = np.ascontiguousarray(src, dtype=np.float32)
    if src.dtype.kind == "f" and src.dtype.itemsize > 4:
        overflow = np.isinf(out) & np.isfinite(src)
        if overflow.any():
            raise ValueError(f"{name} holds {src[overflow].flat[0]!r}, beyond the range of float32")
    return out


def converts(f):
    """Gives `f` the keyword strict=False and converts its arguments hinted Floats,
    OptionalFloats (None passes) or FloatMatrix with as_float32 before it runs."""
    sig = inspect.signature(f)
    params = list(sig.parameters.values())
    arrays = [(i, p.name, _DIMENSIONS[p.annotation], p.annotation is OptionalFloats)
              for i, p in enumerate(params) if any(p.annotation is hint for hint in _DIMENSIONS)]
    # Array defaults, such as percentiles=(50, 100), reach the function as arrays too.
    defaults = {p.name: as_float32(p.name, p.default, False, _DIMENSIONS[p.annotation])
                for p in params if any(p.annotation is hint for hint in _DIMENSIONS)
                and p.default is not inspect.Parameter.empty and p.default is not None}

    @functools.wraps(f)
    def wrapper(*args, strict: bool = False, **kwargs):
        args = list(args)
        for i, name, ndim, optional in arrays:
            if i < len(args):
                if not (optional and args[i] is None):
                    args[i] = as_float32(name, args[i], strict, ndim)
            elif name in kwargs:
                if not (optional and kwargs[name] is None):
                    kwargs[name] = as_float32(name, kwargs[name], strict, ndim)
            elif name in defaults:
                kwargs[name] = defaults[name].copy()
        return f(*args, **kwargs)

    strict = inspect.Parameter("strict", inspect.Parameter.KEYWORD_ONLY, default=False, annotation=bool)
    wrapper.__signature__ = sig.replace(parameters=[*params, strict])
    return wrapper
